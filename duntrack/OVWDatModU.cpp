// The data module's tables, its creation and destruction, and the account queries on the fee and bill files.
#include "duntrack/OVWDatModU.h"

#include "classes/ClassRegistry.h"
#include "hostdata/OVWCon.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"

TDM* DM = nullptr;

namespace {

const bool registered = (RegisterClasses<TvxBkTable, TvxDataSource>(), true);

std::string Text(TDataSet* table, const char* field) { return table->FieldByName(field)->AsString(); }
double Amount(TDataSet* table, const char* field) { return table->FieldByName(field)->AsFloat(); }
bool IsBlank(const std::string& text) { return Trim(text).empty(); }
bool IsHeldOrBilled(const std::string& status) { return status == "H" || status == "B"; }
std::string BlankPadded(const std::string& text, size_t width)
{
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

// Fees, direct costs, indirect costs, finance charges, sales tax and retainer of the current bill record.
std::array<double, 6> BillAmounts(TDataSet* bills)
{
    return {Amount(bills, "Fees"),          Amount(bills, "Direct Costs"), Amount(bills, "Indirect Costs"),
            Amount(bills, "Finance Charges"), Amount(bills, "Sales Tax"),    Amount(bills, "Retainer")};
}

double Sum(const std::array<double, 6>& amounts)
{
    double sum = 0;
    for (double amount : amounts) sum += amount;
    return sum;
}

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

std::string FileKind(const std::string& fileName, const std::string& historyFile)
{
    return SameText(fileName, historyFile) ? "history" : "current period";
}

void ShowBillFileFailure(const std::string& fileName, const std::string& tableName, const std::string& error)
{
    MessageDlg("Unable to open the " + FileKind(fileName, "hbill.qf") + " billing file.  (" + tableName + ")." +
                   "\r" + "The following error was encountered:  " + "\r" + error + "\r" + "\r" +
                   ContactForAssistanceText,
               mtWarning, TMsgDlgButtons{mbOK}, 0);
}

}  // namespace

TDM::TDM(TComponent* owner) : TDataModule(owner) {}

#define DM_FIELD(name) p.Field(#name, &TDM::name)
#define DM_METHOD(name) p.Method(#name, &TDM::name)

void TDM::Publish(TPublisher<TDM>& p)
{
    DM_FIELD(Client1_); DM_FIELD(Client2_); DM_FIELD(ClientSave_); DM_FIELD(Case1_); DM_FIELD(Case2_);
    DM_FIELD(CaseSave_); DM_FIELD(CaseDescs_); DM_FIELD(CaseDescsSave); DM_FIELD(CaseAddresses);
    DM_FIELD(CaseAddrSave); DM_FIELD(Fee_); DM_FIELD(Fee2_); DM_FIELD(Bill_); DM_FIELD(Bill2_);
    DM_FIELD(OffCodes1_); DM_FIELD(OffCodes2_); DM_FIELD(ClTypeOne1_); DM_FIELD(ClTypeOne2_); DM_FIELD(ClTypeTwo1_);
    DM_FIELD(ClTypeTwo2_); DM_FIELD(CaTypeOne1_); DM_FIELD(CaTypeOne2_); DM_FIELD(CaTypeTwo1_);
    DM_FIELD(CaTypeTwo2_); DM_FIELD(CaTypeThree1_); DM_FIELD(CaTypeThree2_); DM_FIELD(DeptCodes1_);
    DM_FIELD(DeptCodes2_); DM_FIELD(StMsg1_); DM_FIELD(StMsg2_);
    DM_FIELD(RAOne1_); DM_FIELD(RAOne2_); DM_FIELD(RATwo1_); DM_FIELD(RATwo2_); DM_FIELD(RAThree1_);
    DM_FIELD(RAThree2_);
    DM_FIELD(TrDesc_); DM_FIELD(BatchDesc_); DM_FIELD(Batch_); DM_FIELD(EmpRates_); DM_FIELD(GroupRates_);
    DM_FIELD(Tran1_); DM_FIELD(Tran2_); DM_FIELD(GlacTB); DM_FIELD(GL2TB); DM_FIELD(RepDat_);

    DM_FIELD(Client1Src); DM_FIELD(Client2Src); DM_FIELD(ClientSaveSrc); DM_FIELD(Case1Src); DM_FIELD(Case2Src);
    DM_FIELD(CaseSaveSrc); DM_FIELD(CaseDescsSrc); DM_FIELD(CaseDescSaveSrc); DM_FIELD(CaseAddrSrc);
    DM_FIELD(CaseAddrSaveSrc); DM_FIELD(FeeSource); DM_FIELD(Fee2Source); DM_FIELD(BillSource);
    DM_FIELD(Bill2Source); DM_FIELD(TrDescSrc); DM_FIELD(DescsSrc); DM_FIELD(BatchSrc); DM_FIELD(EmpRateSrc);
    DM_FIELD(TranSource); DM_FIELD(Tran2Source); DM_FIELD(GlacDS); DM_FIELD(GL2DS); DM_FIELD(RepDatSrc);
    DM_FIELD(GroupRatesSrc);
    DM_FIELD(OffCodes1Src); DM_FIELD(OffCodes2Src); DM_FIELD(ClTypeOne1Src); DM_FIELD(ClTypeOne2Src);
    DM_FIELD(ClTypeTwo1Src); DM_FIELD(ClTypeTwo2Src); DM_FIELD(CaTypeOne1Src); DM_FIELD(CaTypeOne2Src);
    DM_FIELD(CaTypeTwo1Src); DM_FIELD(CaTypeTwo2Src); DM_FIELD(CaTypeThree1Src); DM_FIELD(CaTypeThree2Src);
    DM_FIELD(DeptCodes1Src); DM_FIELD(DeptCodes2Src); DM_FIELD(StMsg1Src); DM_FIELD(StMsg2Src);
    DM_FIELD(RAOne1Src); DM_FIELD(RAOne2Src); DM_FIELD(RATwo1Src); DM_FIELD(RATwo2Src); DM_FIELD(RAThree1Src);
    DM_FIELD(RAThree2Src);

    DM_METHOD(DMCreate); DM_METHOD(DataModule1Destroy);
    DM_METHOD(OffCodes1_CalcFields); DM_METHOD(OffCodes1_FilterRecord); DM_METHOD(ClTypeOne1_FilterRecord);
    DM_METHOD(CaTypeOne1_FilterRecord); DM_METHOD(CaTypeThree2_FilterRecord); DM_METHOD(DeptCodes1_FilterRecord);
    DM_METHOD(StMsg1_FilterRecord); DM_METHOD(Client1_CalcFields); DM_METHOD(Client1_SalesTaxSetText);
    DM_METHOD(Client1_UnassignedSetText); DM_METHOD(Client1_SalesTaxGetText);
    DM_METHOD(Batch_CalcFields); DM_METHOD(Batch_NewRecord); DM_METHOD(Batch_BeforeDelete);
    DM_METHOD(Batch_FilterRecord);
    DM_METHOD(Fee_BeforeDelete); DM_METHOD(TrDesc_BeforeDelete); DM_METHOD(Fee_EditError); DM_METHOD(Fee_BeforeEdit);
    DM_METHOD(Fee_BeforeInsert); DM_METHOD(Fee_BeforePost); DM_METHOD(Bill_BeforePost); DM_METHOD(Bill_BeforeDelete);
    DM_METHOD(TrDesc_BeforePost); DM_METHOD(Case1_BeforeScroll);
}

#undef DM_FIELD
#undef DM_METHOD

std::string TDM::HostTableName(const std::string& fileName, const std::string& layout) const
{
    return DataDirectory + "\\" + fileName + ";RES:" + layout;
}

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

void TDM::CloseAndClear(TvxBkTable* table, bool cancel)
{
    if (table->Active()) {
        if (cancel) table->Cancel();
        table->Close();
    }
    table->SetIndexName("");
    table->SetTableName("");
}

void TDM::CloseFees() { CloseAndClear(Fee_, true); }
void TDM::CloseFee2() { CloseAndClear(Fee2_, true); }
void TDM::CloseBills() { CloseAndClear(Bill_, true); }
void TDM::CloseBill2() { CloseAndClear(Bill2_, true); }
void TDM::CloseTran1() { CloseAndClear(Tran1_, true); }
void TDM::CloseTran2() { CloseAndClear(Tran2_, true); }
void TDM::CloseTrDesc() { CloseAndClear(TrDesc_, false); }
void TDM::CloseEmpRates() { CloseAndClear(EmpRates_, false); }
void TDM::CloseGroupRates() { CloseAndClear(GroupRates_, false); }

// --- Opening the account tables ---------------------------------------------------------------------------------------

void TDM::OpenCaseSave()
{
    try {
        CaseSave_->SetTableName(HostTableName("casesave.qf", "YCASE"));
        CaseSave_->Open();
        CaseSave_->SetIndexName("4");
    } catch (const Exception&) {
        MessageDlg("Unable to open CASESAVE file", mtError, TMsgDlgButtons{mbOK}, 0);
    }
}

bool TDM::OpenFees(const std::string& FileName, const std::string& FeeType, const std::string& StartDate,
                   const std::string& EndDate, const std::string& ClientCode, const std::string& CaseSuffix)
{
    try {
        CloseFees();
        Fee_->SetTableName(HostTableName(FileName, "FEES"));
        Fee_->Open();
        Fee_->SetIndexName("1");
        if (IsBlank(CaseSuffix) || FeeType.empty())
            Fee_->SetRange({ClientCode, ""}, {ClientCode, "ZZZZZZZ", "Z", "999999"});
        else if (StartDate.empty())
            Fee_->SetRange({ClientCode, CaseSuffix, FeeType}, {ClientCode, CaseSuffix, FeeType, "999999"});
        else
            Fee_->SetRange({ClientCode, CaseSuffix, FeeType, StartDate}, {ClientCode, CaseSuffix, FeeType, EndDate});
        Fee_->First();
        return true;
    } catch (const Exception&) {
        MessageDlg("Unable to open the " + FileKind(FileName, "hfee.qf") + " fee file." + "\r" + ContactForAssistanceText,
                   mtWarning, TMsgDlgButtons{mbOK}, 0);
        if (Fee_->Active()) Fee_->Close();
        return false;
    }
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
        Bill_->SetTableName(tableName);
        Bill_->Open();
        Bill_->SetIndexName("1");
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
        Bill_->SetTableName(tableName);
        Bill_->Open();
        Bill_->SetIndexName("3");
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
    for (; !Bill_->Eof(); Bill_->Next()) {
        if (Text(Bill_, "Type") != "B" || Text(Bill_, "Transaction Date") > MaxDate) continue;
        const std::string status = Text(Bill_, "Status");
        const bool isPaidOrBilled = status == "P" || status == "B";
        if (SkipStatusPB && isPaidOrBilled && MaxDate != "999998") continue;
        // The invoice number keeps its 8 characters: callers look the invoice up by the entry's first eight.
        const std::string entry = BlankPadded(Text(Bill_, "Invoice Number"), 8) + (History ? "H" : "C") +
                                  Text(Bill_, "Case Suffix") + status;
        (isPaidOrBilled ? &paidOrBilled : Invoices)->Add(entry);
    }
    Invoices->SetSorted(false);
    for (Integer i = 0; i < paidOrBilled.Count(); ++i) Invoices->Add(paidOrBilled.Strings(i));
}

double TDM::SumOpenRetainers(const std::string& MaxDate)
{
    double sum = 0;
    for (; !Bill_->Eof(); Bill_->Next()) {
        const std::string type = Text(Bill_, "Type");
        if (IsBlank(Text(Bill_, "Invoice Number")) && (type == "P" || type == "A") &&
            Text(Bill_, "Transaction Date") <= MaxDate)
            sum += Amount(Bill_, "Retainer");
    }
    return sum;
}

void TDM::SumInvoiceAmounts(const std::string& InvoiceNumber, const std::string& MaxDate, bool HeldMode,
                            InvoiceAmounts& amounts, std::string& BillDate, std::string& CutDate,
                            double& RetainerAdjustment)
{
    static const std::string types = "BPAR";
    Bill_->SetRange({InvoiceNumber, "A"}, {InvoiceNumber, "R"});
    for (Bill_->First(); !Bill_->Eof(); Bill_->Next()) {
        const std::string type = Text(Bill_, "Type");
        const std::string status = Text(Bill_, "Status");
        if (type == "B") {
            BillDate = Text(Bill_, "Transaction Date");
            CutDate = Text(Bill_, "Sys\\Cut Date");
            if (!HeldMode && Trim(Text(Bill_, "Group\\Frozen")) == "F") amounts[24] = FrozenMark;
        }
        if (Text(Bill_, "Transaction Date") > MaxDate) continue;
        const std::array<double, 6> six = BillAmounts(Bill_);
        const double retainer = six[5];
        if (HeldMode && IsHeldOrBilled(status)) {
            amounts[24] += Sum(six);
            if (type == "R") amounts[24] -= retainer;
            continue;
        }
        const size_t group = type.size() == 1 ? types.find(type[0]) : std::string::npos;
        if (group == std::string::npos) continue;
        for (size_t i = 0; i < six.size(); ++i) amounts[group * 6 + i] += six[i];
        if (type == "R") amounts[23] -= retainer;
        if (!HeldMode && !IsHeldOrBilled(status) && amounts[24] != FrozenMark) {
            if (type == "P") RetainerAdjustment -= retainer;
            if (type == "R") RetainerAdjustment += retainer;
        }
    }
}

void TDM::FindLastPayment(double& Amount, std::string& LastDate)
{
    Bill_->Last();
    while (Text(Bill_, "Type") == "P") {
        const std::string date = Text(Bill_, "Transaction Date");
        if (date > LastDate) {
            LastDate = date;
            Amount = Sum(BillAmounts(Bill_));
        } else if (date == LastDate) {
            Amount += Sum(BillAmounts(Bill_));
        }
        Bill_->Prior();
        if (Bill_->Bof()) break;
    }
}
