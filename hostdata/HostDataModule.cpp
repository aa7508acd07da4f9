// The shared data module's tables, its account queries and the openers both programs' modules build on.
#include "hostdata/HostDataModule.h"

#include "classes/ClassRegistry.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"

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

}  // namespace

THostDataModule::THostDataModule(TComponent* owner) : TDataModule(owner) {}

#define HDM_FIELD(name) p.Field(#name, &THostDataModule::name)
#define HDM_METHOD(name) p.Method(#name, &THostDataModule::name)

void THostDataModule::Publish(TPublisher<THostDataModule>& p)
{
    HDM_FIELD(Client1_); HDM_FIELD(Client2_); HDM_FIELD(ClientSave_); HDM_FIELD(Case1_); HDM_FIELD(Case2_);
    HDM_FIELD(CaseSave_); HDM_FIELD(CaseDescs_); HDM_FIELD(CaseDescsSave); HDM_FIELD(CaseAddresses);
    HDM_FIELD(CaseAddrSave); HDM_FIELD(Fee_); HDM_FIELD(Bill_);
    HDM_FIELD(OffCodes1_); HDM_FIELD(OffCodes2_); HDM_FIELD(ClTypeOne1_); HDM_FIELD(ClTypeOne2_);
    HDM_FIELD(ClTypeTwo1_); HDM_FIELD(ClTypeTwo2_); HDM_FIELD(CaTypeOne1_); HDM_FIELD(CaTypeOne2_);
    HDM_FIELD(CaTypeTwo1_); HDM_FIELD(CaTypeTwo2_); HDM_FIELD(CaTypeThree1_); HDM_FIELD(CaTypeThree2_);
    HDM_FIELD(DeptCodes1_); HDM_FIELD(DeptCodes2_); HDM_FIELD(StMsg1_); HDM_FIELD(StMsg2_);
    HDM_FIELD(RAOne1_); HDM_FIELD(RAOne2_); HDM_FIELD(RATwo1_); HDM_FIELD(RATwo2_); HDM_FIELD(RAThree1_);
    HDM_FIELD(RAThree2_);
    HDM_FIELD(TrDesc_); HDM_FIELD(BatchDesc_); HDM_FIELD(Batch_); HDM_FIELD(EmpRates_); HDM_FIELD(GroupRates_);

    HDM_FIELD(Client1Src); HDM_FIELD(Client2Src); HDM_FIELD(ClientSaveSrc); HDM_FIELD(Case1Src);
    HDM_FIELD(Case2Src); HDM_FIELD(CaseSaveSrc); HDM_FIELD(CaseDescsSrc); HDM_FIELD(CaseDescSaveSrc);
    HDM_FIELD(CaseAddrSrc); HDM_FIELD(CaseAddrSaveSrc); HDM_FIELD(FeeSource); HDM_FIELD(BillSource);
    HDM_FIELD(TrDescSrc); HDM_FIELD(DescsSrc); HDM_FIELD(BatchSrc); HDM_FIELD(EmpRateSrc);
    HDM_FIELD(GroupRatesSrc);
    HDM_FIELD(OffCodes1Src); HDM_FIELD(OffCodes2Src); HDM_FIELD(ClTypeOne1Src); HDM_FIELD(ClTypeOne2Src);
    HDM_FIELD(ClTypeTwo1Src); HDM_FIELD(ClTypeTwo2Src); HDM_FIELD(CaTypeOne1Src); HDM_FIELD(CaTypeOne2Src);
    HDM_FIELD(CaTypeTwo1Src); HDM_FIELD(CaTypeTwo2Src); HDM_FIELD(CaTypeThree1Src); HDM_FIELD(CaTypeThree2Src);
    HDM_FIELD(DeptCodes1Src); HDM_FIELD(DeptCodes2Src); HDM_FIELD(StMsg1Src); HDM_FIELD(StMsg2Src);
    HDM_FIELD(RAOne1Src); HDM_FIELD(RAOne2Src); HDM_FIELD(RATwo1Src); HDM_FIELD(RATwo2Src);
    HDM_FIELD(RAThree1Src); HDM_FIELD(RAThree2Src);

    HDM_METHOD(OffCodes1_CalcFields); HDM_METHOD(OffCodes1_FilterRecord); HDM_METHOD(ClTypeOne1_FilterRecord);
    HDM_METHOD(CaTypeOne1_FilterRecord); HDM_METHOD(CaTypeThree2_FilterRecord); HDM_METHOD(DeptCodes1_FilterRecord);
    HDM_METHOD(StMsg1_FilterRecord); HDM_METHOD(Client1_CalcFields); HDM_METHOD(Client1_SalesTaxSetText);
    HDM_METHOD(Client1_UnassignedSetText); HDM_METHOD(Client1_SalesTaxGetText);
    HDM_METHOD(Batch_CalcFields); HDM_METHOD(Batch_NewRecord); HDM_METHOD(Batch_BeforeDelete);
    HDM_METHOD(Batch_FilterRecord);
}

#undef HDM_FIELD
#undef HDM_METHOD

std::string THostDataModule::HostTableName(const std::string& fileName, const std::string& layout) const
{
    return DataDirectory + "\\" + fileName + ";RES:" + layout;
}

std::string THostDataModule::FileKind(const std::string& fileName, const std::string& historyFile, bool ignoreCase)
{
    const bool history = ignoreCase ? SameText(fileName, historyFile) : fileName == historyFile;
    return history ? "history" : "current period";
}

void THostDataModule::OpenOnIndex(TvxBkTable* table, const std::string& tableName, const std::string& index)
{
    table->SetTableName(tableName);
    table->Open();
    table->SetIndexName(index);
}

// --- Close operations ------------------------------------------------------------------------------------------------

void THostDataModule::CloseAndClear(TvxBkTable* table, bool cancel)
{
    if (table->Active()) {
        if (cancel) table->Cancel();
        table->Close();
    }
    table->SetIndexName("");
    table->SetTableName("");
}

void THostDataModule::CloseTrDesc() { CloseAndClear(TrDesc_, false); }
void THostDataModule::CloseEmpRates() { CloseAndClear(EmpRates_, false); }
void THostDataModule::CloseGroupRates() { CloseAndClear(GroupRates_, false); }

// --- Openers ---------------------------------------------------------------------------------------------------------

void THostDataModule::OpenCaseSave()
{
    try {
        OpenOnIndex(CaseSave_, HostTableName("casesave.qf", "YCASE"), "4");
    } catch (const Exception&) {
        MessageDlg("Unable to open CASESAVE file", mtError, TMsgDlgButtons{mbOK}, 0);
    }
}

bool THostDataModule::OpenFeeRange(const TFeeOpenStyle& style, const std::string& FileName,
                                   const std::string& FeeType, const std::string& StartDate,
                                   const std::string& EndDate, const std::string& ClientCode,
                                   const std::string& CaseSuffix)
{
    try {
        if (style.CloseFirst) CloseAndClear(Fee_, true);
        OpenOnIndex(Fee_, HostTableName(FileName, "FEES"), "1");
        if (IsBlank(CaseSuffix) || FeeType.empty())
            Fee_->SetRange({ClientCode, ""}, {ClientCode, "ZZZZZZZ", "Z", "999999"});
        else if (StartDate.empty())
            Fee_->SetRange({ClientCode, CaseSuffix, FeeType}, {ClientCode, CaseSuffix, FeeType, "999999"});
        else
            Fee_->SetRange({ClientCode, CaseSuffix, FeeType, StartDate}, {ClientCode, CaseSuffix, FeeType, EndDate});
        Fee_->First();
        return true;
    } catch (const Exception&) {
        MessageDlg("Unable to open the " + FileKind(FileName, "hfee.qf", style.HistoryIgnoresCase) + " fee file." +
                       "\r" + style.FailureEnd,
                   mtWarning, TMsgDlgButtons{mbOK}, 0);
        if (style.CloseAfterFailure && Fee_->Active()) Fee_->Close();
        return false;
    }
}

// --- Queries ---------------------------------------------------------------------------------------------------------

void THostDataModule::ForEachBilledInvoice(
        const std::string& MaxDate, bool History,
        const std::function<void(const std::string& entry, const std::string& status)>& add)
{
    for (; !Bill_->Eof(); Bill_->Next()) {
        if (Text(Bill_, "Type") != "B" || Text(Bill_, "Transaction Date") > MaxDate) continue;
        const std::string status = Text(Bill_, "Status");
        // The invoice number keeps its 8 characters: callers look the invoice up by the entry's first eight.
        add(BlankPadded(Text(Bill_, "Invoice Number"), 8) + (History ? "H" : "C") + Text(Bill_, "Case Suffix") +
                    status,
            status);
    }
}

double THostDataModule::SumOpenRetainers(const std::string& MaxDate)
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

void THostDataModule::SumInvoiceAmounts(const std::string& InvoiceNumber, const std::string& MaxDate, bool HeldMode,
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

void THostDataModule::FindLastPayment(double& Amount, std::string& LastDate)
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
