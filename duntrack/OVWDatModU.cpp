// The data module's creation and destruction, and the account queries that are the tracking program's own.
#include "duntrack/OVWDatModU.h"

#include "hostdata/OVWCon.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"

TDM* DM = nullptr;

namespace {

std::string Text(TDataSet* table, const char* field) { return table->FieldByName(field)->AsString(); }
double Amount(TDataSet* table, const char* field) { return table->FieldByName(field)->AsFloat(); }
bool IsBlank(const std::string& text) { return Trim(text).empty(); }

// One fee or cost record into its group of FeeTotals (base 0 fees, 6 indirect and 12 direct costs).
void AddToGroup(FeeTotals& totals, int base, double actual, double billable, bool invoiced)
{
    totals[base + (invoiced ? 5 : 6)] += billable;
    totals[base + 1] += actual;
    totals[base + 4] += billable;
    if (billable > actual)
        totals[base + 2] += billable - actual;
    else if (actual > billable)
        totals[base + 3] += actual - billable;
}

void ShowBillFileFailure(const std::string& fileName, const std::string& tableName, const std::string& error)
{
    MessageDlg("Unable to open the " + THostDataModule::FileKind(fileName, "hbill.qf", true) + " billing file.  (" + tableName + ")." + "\r" +
                   "The following error was encountered:  " + "\r" + error + "\r" + "\r" + ContactForAssistanceText,
               mtWarning, TMsgDlgButtons{mbOK}, 0);
}

}  // namespace

TDM::TDM(TComponent* owner) : THostDataModule(owner) {}

#define DM_FIELD(name) p.Field(#name, &TDM::name)
#define DM_METHOD(name) p.Method(#name, &TDM::name)

void TDM::Publish(TPublisher<TDM>& p)
{
    DM_FIELD(Fee2_); DM_FIELD(Bill2_); DM_FIELD(Tran1_); DM_FIELD(Tran2_); DM_FIELD(GlacTB); DM_FIELD(GL2TB);
    DM_FIELD(RepDat_);
    DM_FIELD(Fee2Source); DM_FIELD(Bill2Source); DM_FIELD(TranSource); DM_FIELD(Tran2Source); DM_FIELD(GlacDS);
    DM_FIELD(GL2DS); DM_FIELD(RepDatSrc);

    DM_METHOD(DMCreate); DM_METHOD(DataModule1Destroy);
    DM_METHOD(Fee_BeforeDelete); DM_METHOD(TrDesc_BeforeDelete); DM_METHOD(Fee_EditError); DM_METHOD(Fee_BeforeEdit);
    DM_METHOD(Fee_BeforeInsert); DM_METHOD(Fee_BeforePost); DM_METHOD(Bill_BeforePost); DM_METHOD(Bill_BeforeDelete);
    DM_METHOD(TrDesc_BeforePost); DM_METHOD(Case1_BeforeScroll);
}

#undef DM_FIELD
#undef DM_METHOD

// --- Creation and destruction ---------------------------------------------------------------------------------------

void TDM::DMCreate(TObject*)
{
    LockMessage.clear();
    LockDeadline = 0;
    LockRetryInterval = 5000;
}

void TDM::DataModule1Destroy(TObject*)
{
    try {
        if (CaseSave_->Active()) CaseSave_->Close();
        CloseGroupRates();
        CloseEmpRates();
        CloseBills();
        CloseBill2();
        CloseFees();
        CloseFee2();
        CloseTrDesc();
        for (TvxBkTable* table : {Batch_, BatchDesc_, GlacTB})
            if (table->Active()) table->Close();
        if (OffCodes1_->Active()) {
            for (TvxBkTable* table : {OffCodes1_, OffCodes2_, ClTypeOne1_, ClTypeOne2_, ClTypeTwo1_, ClTypeTwo2_})
                table->Close();
            CloseTran1();
            CloseTran2();
        }
    } catch (...) {
    }
}

// --- Close operations ------------------------------------------------------------------------------------------------

void TDM::CloseFees() { CloseAndClear(Fee_, true); }
void TDM::CloseFee2() { CloseAndClear(Fee2_, true); }
void TDM::CloseBills() { CloseAndClear(Bill_, true); }
void TDM::CloseBill2() { CloseAndClear(Bill2_, true); }
void TDM::CloseTran1() { CloseAndClear(Tran1_, true); }
void TDM::CloseTran2() { CloseAndClear(Tran2_, true); }

// --- Opening the account tables ---------------------------------------------------------------------------------------

bool TDM::OpenFees(const std::string& FileName, const std::string& FeeType, const std::string& StartDate,
                   const std::string& EndDate, const std::string& ClientCode, const std::string& CaseSuffix)
{
    static const TFeeOpenStyle style{true, true, true, ContactForAssistanceText};
    return OpenFeeRange(style, FileName, FeeType, StartDate, EndDate, ClientCode, CaseSuffix);
}

bool TDM::OpenBills(const std::string& FileName, const std::string& ClientCode, const std::string& CaseSuffix,
                    const std::string& TypeOrDirectory)
{
    std::string tableName = FileName + ";RES:BILLS";
    std::string rangeType = "B";
    if (TypeOrDirectory.size() == 1) {
        tableName = HostTableName(FileName, "BILLS");
        rangeType = TypeOrDirectory;
    } else if (!TypeOrDirectory.empty()) {
        tableName = TypeOrDirectory + "\\" + tableName;
    }
    try {
        CloseBills();
        OpenOnIndex(Bill_, tableName, "1");
        if (!IsBlank(CaseSuffix))
            Bill_->SetRange({ClientCode, CaseSuffix}, {ClientCode, CaseSuffix, rangeType, "999999"});
        else if (!IsBlank(ClientCode))
            Bill_->SetRange({ClientCode}, {ClientCode, "ZZZZZZZ", rangeType, "999999"});
        Bill_->First();
        return true;
    } catch (const Exception& e) {
        ShowBillFileFailure(FileName, tableName, e.Message());
        if (Bill_->Active()) Bill_->Close();
        return false;
    }
}

bool TDM::OpenBillsByInvoice(const std::string& FileName)
{
    const Integer at = Pos("bill.qf", FileName);
    const std::string tableName =
        at == 1 || at == 2 ? HostTableName(FileName, "BILLS") : FileName + "bill.qf;RES:BILLS";
    try {
        CloseBills();
        OpenOnIndex(Bill_, tableName, "3");
        Bill_->First();
        return true;
    } catch (const Exception& e) {
        ShowBillFileFailure(FileName, tableName + " - Invoice key", e.Message());
        if (Bill_->Active()) Bill_->Close();
        return false;
    }
}

// --- Queries ---------------------------------------------------------------------------------------------------------

void TDM::SumFees(const std::string& CaseSuffix, const std::string& MaxDate, FeeTotals& totals)
{
    for (; !Fee_->Eof(); Fee_->Next()) {
        if (Text(Fee_, "Transaction Date") > MaxDate) continue;
        if (!IsBlank(CaseSuffix) && Text(Fee_, "Case Suffix") != CaseSuffix) continue;
        const std::string type = Text(Fee_, "Type");
        const double actual = Amount(Fee_, "Actual $");
        const double billable = Amount(Fee_, "Billable $");
        const bool invoiced = !IsBlank(Text(Fee_, "Invoice Number"));
        if (type == "F") {
            totals[19] += Amount(Fee_, "Actual Hours");
            totals[20] += Amount(Fee_, "Billable Hours");
            AddToGroup(totals, 0, actual, billable, invoiced);
        } else if (type == "C") {
            const std::string subType = Text(Fee_, "Sub Type").substr(0, 1);
            if (subType == "I")
                AddToGroup(totals, 6, actual, billable, invoiced);
            else if (subType == "D")
                AddToGroup(totals, 12, actual, billable, invoiced);
        }
    }
}

void TDM::ListInvoices(const std::string& MaxDate, bool History, TStringList* Invoices, bool SkipStatusPB)
{
    Invoices->SetDuplicates(dupIgnore);
    Invoices->SetSorted(true);
    TStringList paidOrBilled;
    paidOrBilled.SetDuplicates(dupIgnore);
    paidOrBilled.SetSorted(true);
    ForEachBilledInvoice(MaxDate, History, [&](const std::string& entry, const std::string& status) {
        const bool isPaidOrBilled = status == "P" || status == "B";
        if (SkipStatusPB && isPaidOrBilled && MaxDate != "999998") return;
        (isPaidOrBilled ? &paidOrBilled : Invoices)->Add(entry);
    });
    Invoices->SetSorted(false);
    for (Integer i = 0; i < paidOrBilled.Count(); ++i) Invoices->Add(paidOrBilled.Strings(i));
}
