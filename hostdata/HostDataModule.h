// THostDataModule: what the programs' data modules of host tables have in common. The tables, data sources and
// handlers both carry, the account queries that behave alike in both, and the openers and list walks whose
// differences are handed in as parameters. Each program's module derives from it and reads its own form file.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "classes/DataModule.h"
#include "db/DataSet.h"
#include "engine/bk/BtrInfoU.h"
#include "vxdata/vxDataSource.h"

// Filled by SumFees: 0 unused; 1-6 fees, 7-12 indirect costs, 13-18 direct costs, each group actual, write-up,
// write-down, billable, billed billable, unbilled billable; 19 actual hours, 20 billable hours (fees only).
using FeeTotals = std::array<double, 21>;
// Filled by SumInvoiceAmounts: 0-5 type "B", 6-11 "P", 12-17 "A", 18-23 "R", each group fees, direct costs,
// indirect costs, finance charges, sales tax, retainer; 24 the held amount (held mode) or the frozen mark.
using InvoiceAmounts = std::array<double, 25>;
constexpr double FrozenMark = -0.999;

// How a program's OpenFees differs.
struct TFeeOpenStyle {
    bool CloseFirst;          // close Fee_ before opening it
    bool CloseAfterFailure;   // close Fee_ when the open fails
    bool HistoryIgnoresCase;  // "hfee.qf" names the history file in any case, else exactly
    std::string FailureEnd;   // the failure message's last sentence
};

class THostDataModule : public TDataModule {
    DUN_CLASS(THostDataModule, TDataModule)
public:
    explicit THostDataModule(TComponent* owner);
    static void Publish(TPublisher<THostDataModule>& p);

    // The host data directory (the alias's physical name), handed over by the program at start-up.
    std::string DataDirectory;

    TvxBkTable *Client1_ = nullptr, *Client2_ = nullptr, *ClientSave_ = nullptr;
    TvxBkTable *Case1_ = nullptr, *Case2_ = nullptr, *CaseSave_ = nullptr;
    TvxBkTable *CaseDescs_ = nullptr, *CaseDescsSave = nullptr, *CaseAddresses = nullptr, *CaseAddrSave = nullptr;
    TvxBkTable *Fee_ = nullptr, *Bill_ = nullptr;
    TvxBkTable *OffCodes1_ = nullptr, *OffCodes2_ = nullptr, *ClTypeOne1_ = nullptr, *ClTypeOne2_ = nullptr,
               *ClTypeTwo1_ = nullptr, *ClTypeTwo2_ = nullptr, *CaTypeOne1_ = nullptr, *CaTypeOne2_ = nullptr,
               *CaTypeTwo1_ = nullptr, *CaTypeTwo2_ = nullptr, *CaTypeThree1_ = nullptr, *CaTypeThree2_ = nullptr,
               *DeptCodes1_ = nullptr, *DeptCodes2_ = nullptr, *StMsg1_ = nullptr, *StMsg2_ = nullptr;
    TvxBkTable *RAOne1_ = nullptr, *RAOne2_ = nullptr, *RATwo1_ = nullptr, *RATwo2_ = nullptr,
               *RAThree1_ = nullptr, *RAThree2_ = nullptr;
    TvxBkTable *TrDesc_ = nullptr, *BatchDesc_ = nullptr, *Batch_ = nullptr, *EmpRates_ = nullptr,
               *GroupRates_ = nullptr;

    TvxDataSource *Client1Src = nullptr, *Client2Src = nullptr, *ClientSaveSrc = nullptr, *Case1Src = nullptr,
                  *Case2Src = nullptr, *CaseSaveSrc = nullptr, *CaseDescsSrc = nullptr, *CaseDescSaveSrc = nullptr,
                  *CaseAddrSrc = nullptr, *CaseAddrSaveSrc = nullptr, *FeeSource = nullptr, *BillSource = nullptr,
                  *TrDescSrc = nullptr, *DescsSrc = nullptr, *BatchSrc = nullptr, *EmpRateSrc = nullptr,
                  *GroupRatesSrc = nullptr;
    TvxDataSource *OffCodes1Src = nullptr, *OffCodes2Src = nullptr, *ClTypeOne1Src = nullptr,
                  *ClTypeOne2Src = nullptr, *ClTypeTwo1Src = nullptr, *ClTypeTwo2Src = nullptr,
                  *CaTypeOne1Src = nullptr, *CaTypeOne2Src = nullptr, *CaTypeTwo1Src = nullptr,
                  *CaTypeTwo2Src = nullptr, *CaTypeThree1Src = nullptr, *CaTypeThree2Src = nullptr,
                  *DeptCodes1Src = nullptr, *DeptCodes2Src = nullptr, *StMsg1Src = nullptr, *StMsg2Src = nullptr;
    TvxDataSource *RAOne1Src = nullptr, *RAOne2Src = nullptr, *RATwo1Src = nullptr, *RATwo2Src = nullptr,
                  *RAThree1Src = nullptr, *RAThree2Src = nullptr;

    // --- Account queries. Each works from the table's current record to the end of its range.
    void OpenCaseSave();
    double SumOpenRetainers(const std::string& MaxDate);
    void SumInvoiceAmounts(const std::string& InvoiceNumber, const std::string& MaxDate, bool HeldMode,
                           InvoiceAmounts& amounts, std::string& BillDate, std::string& CutDate,
                           double& RetainerAdjustment);
    // Keeps the latest payment date over several calls and the total paid on it.
    void FindLastPayment(double& Amount, std::string& LastDate);

    // "history" when fileName names historyFile, else "current period".
    static std::string FileKind(const std::string& fileName, const std::string& historyFile, bool ignoreCase);

    void CloseTrDesc();
    void CloseEmpRates();
    void CloseGroupRates();

    // --- Code tables and handlers (HostDataModuleHandlers.cpp).
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

protected:
    // DataDirectory + "\" + file + ";RES:" + layout.
    std::string HostTableName(const std::string& fileName, const std::string& layout) const;
    // Closes the table (cancelling first when asked) and clears its index and table names.
    void CloseAndClear(TvxBkTable* table, bool cancel);
    // Sets the table name, opens the table and selects the index.
    static void OpenOnIndex(TvxBkTable* table, const std::string& tableName, const std::string& index);

    // Fee_ on FileName's key "1", ranged over the client (blank case suffix or no type), over one case's records
    // of one type, or over those dated StartDate to EndDate; on its first record.
    bool OpenFeeRange(const TFeeOpenStyle& style, const std::string& FileName, const std::string& FeeType,
                      const std::string& StartDate, const std::string& EndDate, const std::string& ClientCode,
                      const std::string& CaseSuffix);
    // Calls add(entry, status) for every bill of type "B" dated up to MaxDate, from the current record of Bill_ to
    // the end of its range; the entry is the invoice number (8), "H" or "C", the case suffix and the status.
    void ForEachBilledInvoice(const std::string& MaxDate, bool History,
                              const std::function<void(const std::string& entry, const std::string& status)>& add);

private:
    void OpenTableList(const std::vector<TvxBkTable*>& tables, const std::string& fileName, const std::string& layout,
                       const std::string& firstIndex, const std::string& secondIndex);
    void FilterCodeList(TDataSet* dataSet, bool& accept, const char* list);
};
