// TDM: the tracking program's data module. Every host table the forms use, with its data source and persistent
// fields (read from the module's form file), the account queries on the fee and bill files, the code and
// rate-code tables, and the handlers of the transaction tables: audit trail, general ledger and record-lock retry.
// What it shares with the note viewer's module is in THostDataModule.
#pragma once

#include <string>

#include "hostdata/HostDataModule.h"

class TStringList;

// Program-wide: set once an audit-trail file cannot be opened; no further attempt is made in the run.
extern bool AuditTrailUnavailable;
// Program-wide strings the host product's own programs fill; empty in this program.
extern std::string WorkstationSuffix;
extern std::string TemplateDirectory;
// The 40 flags of the general-ledger control record.
extern std::string GLControlFlags;

class TDM : public THostDataModule {
    DUN_CLASS(TDM, THostDataModule)
public:
    explicit TDM(TComponent* owner);
    static void Publish(TPublisher<TDM>& p);

    // Record-lock retry state.
    std::string LockMessage;
    Cardinal LockDeadline = 0;
    Cardinal LockRetryInterval = 5000;

    TvxBkTable *Fee2_ = nullptr, *Bill2_ = nullptr;
    TvxBkTable *Tran1_ = nullptr, *Tran2_ = nullptr, *GlacTB = nullptr, *GL2TB = nullptr, *RepDat_ = nullptr;
    TvxDataSource *Fee2Source = nullptr, *Bill2Source = nullptr, *TranSource = nullptr, *Tran2Source = nullptr,
                  *GlacDS = nullptr, *GL2DS = nullptr, *RepDatSrc = nullptr;

    // --- Account queries (OVWDatModU.cpp). Each works from the table's current record to the end of its range.
    bool OpenFees(const std::string& FileName, const std::string& FeeType, const std::string& StartDate,
                  const std::string& EndDate, const std::string& ClientCode, const std::string& CaseSuffix);
    void SumFees(const std::string& CaseSuffix, const std::string& MaxDate, FeeTotals& totals);
    bool OpenBills(const std::string& FileName, const std::string& ClientCode, const std::string& CaseSuffix,
                   const std::string& TypeOrDirectory);
    bool OpenBillsByInvoice(const std::string& FileName);
    // Entries: invoice number (8), "H" or "C", case suffix, status; those of status "P" or "B" last.
    void ListInvoices(const std::string& MaxDate, bool History, TStringList* Invoices, bool SkipStatusPB);

    void CloseFees();
    void CloseFee2();
    void CloseBills();
    void CloseBill2();
    void CloseTran1();
    void CloseTran2();

    void DMCreate(TObject* Sender);
    void DataModule1Destroy(TObject* Sender);

    // --- Transaction handlers (OVWDatModHandlers.cpp).
    void Fee_BeforeDelete(TDataSet* DataSet);
    void TrDesc_BeforeDelete(TDataSet* DataSet);
    void Fee_EditError(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action);
    void Fee_BeforeEdit(TDataSet* DataSet);
    void Fee_BeforeInsert(TDataSet* DataSet);
    void Fee_BeforePost(TDataSet* DataSet);
    void Bill_BeforePost(TDataSet* DataSet);
    void Bill_BeforeDelete(TDataSet* DataSet);
    void TrDesc_BeforePost(TDataSet* DataSet);
    void Case1_BeforeScroll(TDataSet* DataSet);

private:
    void SetLockRetry(Cardinal interval, const std::string& message);
    // Arms the lock retry with the message and puts the table into edit state, which locks its record; false when
    // that fails.
    bool LockForDelete(TvxBkTable* table, const char* lockMessage);
    bool OpenAuditTrail();
    bool OpenDescriptionAuditTrail();
    bool OpenTrailTable(TvxBkTable* table, const std::string& layout);
    bool CloseTrailTable(TvxBkTable* table, const std::string& failureText);
    bool OpenGLBatchFile();
    bool LoadGLControl();
    void AuditDeletedFee();
    void AuditDeletedDescription();
};

// The program's one data module.
extern TDM* DM;
