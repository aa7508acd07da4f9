// TDM: the tracking program's data module. Every host table the forms use, with its data source and persistent
// fields (read from the module's form file), the account queries on the fee and bill files, the code and
// rate-code tables, and the handlers of the transaction tables: audit trail, general ledger and record-lock retry.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "classes/DataModule.h"
#include "db/DataSet.h"
#include "engine/bk/BtrInfoU.h"
#include "vxdata/vxDataSource.h"

class TStringList;

// Filled by SumFees: 0 unused; 1-6 fees, 7-12 indirect costs, 13-18 direct costs, each group actual, write-up,
// write-down, billable, billed billable, unbilled billable; 19 actual hours, 20 billable hours (fees only).
using FeeTotals = std::array<double, 21>;
// Filled by SumInvoiceAmounts: 0-5 type "B", 6-11 "P", 12-17 "A", 18-23 "R", each group fees, direct costs,
// indirect costs, finance charges, sales tax, retainer; 24 the held amount (held mode) or the frozen mark.
using InvoiceAmounts = std::array<double, 25>;
constexpr double FrozenMark = -0.999;

// Program-wide: set once an audit-trail file cannot be opened; no further attempt is made in the run.
extern bool AuditTrailUnavailable;
// Program-wide strings the host product's own programs fill; empty in this program.
extern std::string WorkstationSuffix;
extern std::string TemplateDirectory;
// The 40 flags of the general-ledger control record.
extern std::string GLControlFlags;

class TDM : public TDataModule {
    DUN_CLASS(TDM, TDataModule)
public:
    explicit TDM(TComponent* owner);
    static void Publish(TPublisher<TDM>& p);

    // The host data directory (the alias's physical name), handed over by the program at start-up.
    std::string DataDirectory;

    // Record-lock retry state.
    std::string LockMessage;
    Cardinal LockDeadline = 0;
    Cardinal LockRetryInterval = 5000;

    TvxBkTable *Client1_ = nullptr, *Client2_ = nullptr, *ClientSave_ = nullptr;
    TvxBkTable *Case1_ = nullptr, *Case2_ = nullptr, *CaseSave_ = nullptr;
    TvxBkTable *CaseDescs_ = nullptr, *CaseDescsSave = nullptr, *CaseAddresses = nullptr, *CaseAddrSave = nullptr;
    TvxBkTable *Fee_ = nullptr, *Fee2_ = nullptr, *Bill_ = nullptr, *Bill2_ = nullptr;
    TvxBkTable *OffCodes1_ = nullptr, *OffCodes2_ = nullptr, *ClTypeOne1_ = nullptr, *ClTypeOne2_ = nullptr,
               *ClTypeTwo1_ = nullptr, *ClTypeTwo2_ = nullptr, *CaTypeOne1_ = nullptr, *CaTypeOne2_ = nullptr,
               *CaTypeTwo1_ = nullptr, *CaTypeTwo2_ = nullptr, *CaTypeThree1_ = nullptr, *CaTypeThree2_ = nullptr,
               *DeptCodes1_ = nullptr, *DeptCodes2_ = nullptr, *StMsg1_ = nullptr, *StMsg2_ = nullptr;
    TvxBkTable *RAOne1_ = nullptr, *RAOne2_ = nullptr, *RATwo1_ = nullptr, *RATwo2_ = nullptr,
               *RAThree1_ = nullptr, *RAThree2_ = nullptr;
    TvxBkTable *TrDesc_ = nullptr, *BatchDesc_ = nullptr, *Batch_ = nullptr, *EmpRates_ = nullptr,
               *GroupRates_ = nullptr, *Tran1_ = nullptr, *Tran2_ = nullptr, *GlacTB = nullptr, *GL2TB = nullptr,
               *RepDat_ = nullptr;

    TvxDataSource *Client1Src = nullptr, *Client2Src = nullptr, *ClientSaveSrc = nullptr, *Case1Src = nullptr,
                  *Case2Src = nullptr, *CaseSaveSrc = nullptr, *CaseDescsSrc = nullptr, *CaseDescSaveSrc = nullptr,
                  *CaseAddrSrc = nullptr, *CaseAddrSaveSrc = nullptr, *FeeSource = nullptr, *Fee2Source = nullptr,
                  *BillSource = nullptr, *Bill2Source = nullptr, *TrDescSrc = nullptr, *DescsSrc = nullptr,
                  *BatchSrc = nullptr, *EmpRateSrc = nullptr, *TranSource = nullptr, *Tran2Source = nullptr,
                  *GlacDS = nullptr, *GL2DS = nullptr, *RepDatSrc = nullptr, *GroupRatesSrc = nullptr;
    TvxDataSource *OffCodes1Src = nullptr, *OffCodes2Src = nullptr, *ClTypeOne1Src = nullptr,
                  *ClTypeOne2Src = nullptr, *ClTypeTwo1Src = nullptr, *ClTypeTwo2Src = nullptr,
                  *CaTypeOne1Src = nullptr, *CaTypeOne2Src = nullptr, *CaTypeTwo1Src = nullptr,
                  *CaTypeTwo2Src = nullptr, *CaTypeThree1Src = nullptr, *CaTypeThree2Src = nullptr,
                  *DeptCodes1Src = nullptr, *DeptCodes2Src = nullptr, *StMsg1Src = nullptr, *StMsg2Src = nullptr;
    TvxDataSource *RAOne1Src = nullptr, *RAOne2Src = nullptr, *RATwo1Src = nullptr, *RATwo2Src = nullptr,
                  *RAThree1Src = nullptr, *RAThree2Src = nullptr;

    // --- Account queries (OVWDatModU.cpp). Each works from the table's current record to the end of its range.
    void OpenCaseSave();
    bool OpenFees(const std::string& FileName, const std::string& FeeType, const std::string& StartDate,
                  const std::string& EndDate, const std::string& ClientCode, const std::string& CaseSuffix);
    void SumFees(const std::string& CaseSuffix, const std::string& MaxDate, FeeTotals& totals);
    bool OpenBills(const std::string& FileName, const std::string& ClientCode, const std::string& CaseSuffix,
                   const std::string& TypeOrDirectory);
    bool OpenBillsByInvoice(const std::string& FileName);
    // Entries: invoice number (8), "H" or "C", case suffix, status; those of status "P" or "B" last.
    void ListInvoices(const std::string& MaxDate, bool History, TStringList* Invoices, bool SkipStatusPB);
    double SumOpenRetainers(const std::string& MaxDate);
    void SumInvoiceAmounts(const std::string& InvoiceNumber, const std::string& MaxDate, bool HeldMode,
                           InvoiceAmounts& amounts, std::string& BillDate, std::string& CutDate,
                           double& RetainerAdjustment);
    // Keeps the latest payment date over several calls and the total paid on it.
    void FindLastPayment(double& Amount, std::string& LastDate);

    void CloseFees();
    void CloseFee2();
    void CloseBills();
    void CloseBill2();
    void CloseTran1();
    void CloseTran2();
    void CloseTrDesc();
    void CloseEmpRates();
    void CloseGroupRates();

    void DMCreate(TObject* Sender);
    void DataModule1Destroy(TObject* Sender);

    // --- Code tables and handlers (OVWDatModHandlers.cpp).
    void ActivateCodeTables();
    void ActivateRATables();

    void OffCodes1_CalcFields(TDataSet* DataSet);
    void OffCodes1_FilterRecord(TDataSet* DataSet, bool& Accept);
    void ClTypeOne1_FilterRecord(TDataSet* DataSet, bool& Accept);
    void CaTypeOne1_FilterRecord(TDataSet* DataSet, bool& Accept);
    void CaTypeThree2_FilterRecord(TDataSet* DataSet, bool& Accept);
    void DeptCodes1_FilterRecord(TDataSet* DataSet, bool& Accept);
    void StMsg1_FilterRecord(TDataSet* DataSet, bool& Accept);
    void Client1_CalcFields(TDataSet* DataSet);
    void Client1_SalesTaxSetText(TField* Sender, const std::string& Text);
    void Client1_UnassignedSetText(TField* Sender, const std::string& Text);
    void Client1_SalesTaxGetText(TField* Sender, std::string& Text, bool DisplayText);

    void Batch_CalcFields(TDataSet* DataSet);
    void Batch_NewRecord(TDataSet* DataSet);
    void Batch_BeforeDelete(TDataSet* DataSet);
    void Batch_FilterRecord(TDataSet* DataSet, bool& Accept);

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
    // DataDirectory + "\" + file + ";RES:" + layout.
    std::string HostTableName(const std::string& fileName, const std::string& layout) const;
    // Closes the table (cancelling first when asked) and clears its index and table names.
    void CloseAndClear(TvxBkTable* table, bool cancel);
    void OpenTableList(const std::vector<TvxBkTable*>& tables, const std::string& fileName, const std::string& layout,
                       const std::string& firstIndex, const std::string& secondIndex);
    void FilterCodeList(TDataSet* dataSet, bool& accept, const char* list);

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
