#include "dunlist/AccountFigures.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "dunlist/DateFmtu.h"
#include "dunlist/OVWDatModU.h"
#include "dunlist/bin.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"

namespace {

constexpr size_t SuffixWidth = 7;
constexpr size_t InvoiceWidth = 8;
const std::string AllDates = "999999";

std::string Text(TDataSet* table, const char* field) { return table->FieldByName(field)->AsString(); }
double Amount(TDataSet* table, const char* field) { return table->FieldByName(field)->AsFloat(); }

std::string RightJustified(const std::string& text, size_t width)
{
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string LeftJustified(const std::string& text, size_t width)
{
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

// Fixed, two decimals, at least three wide (the platform's Format shows a value that rounds to zero unsigned).
std::string FigureText(double value) { return Format("%3f", {value}); }

// The display text of a host date: empty when blank, the trimmed host date when it cannot be shown.
std::string PaymentDateText(const std::string& hostDate)
{
    std::string text = Trim(hostDate);
    if (!text.empty()) dunlist::HostDateToShortDisplayDate(hostDate, text);
    return text;
}

// A table that cannot be opened ends the program; the computation stops here.
[[noreturn]] void EndProgram()
{
    if (Application) Application->Terminate();
    Abort();
}

void Require(bool opened)
{
    if (!opened) EndProgram();
}

struct TFeeSums {
    double Billable = 0;
    double Unbilled = 0;
};

// The billable amounts of Fee_'s range, and of those not yet on an invoice.
TFeeSums SumFeeRange(TDataSet* fees)
{
    TFeeSums sums;
    for (; !fees->Eof(); fees->Next()) {
        const double billable = Amount(fees, "Billable $");
        sums.Billable += billable;
        if (Trim(Text(fees, "Invoice Number")).empty()) sums.Unbilled += billable;
    }
    return sums;
}

struct TBillSums {
    double Fees = 0;
    double Costs = 0;
};

// Fees and costs of the open records (status neither "P" nor "H") of Bill_'s range.
TBillSums SumOpenBills(TDataSet* bills)
{
    TBillSums sums;
    for (; !bills->Eof(); bills->Next()) {
        const std::string status = Text(bills, "Status");
        if (status == "P" || status == "H") continue;
        sums.Fees += Amount(bills, "Fees");
        sums.Costs += Amount(bills, "Direct Costs") + Amount(bills, "Indirect Costs");
    }
    return sums;
}

void AddCase(TAccountTotals& client, const TAccountTotals& one)
{
    client.CtdFees += one.CtdFees;
    client.CtdCosts += one.CtdCosts;
    client.FeeBillings += one.FeeBillings;
    client.CostBillings += one.CostBillings;
    client.FeePayments += one.FeePayments;
    client.CostPayments += one.CostPayments;
    client.WipFees += one.WipFees;
    client.WipCosts += one.WipCosts;
    client.TotalAR += one.TotalAR;
    for (size_t i = 0; i < client.Aged.size(); ++i) client.Aged[i] += one.Aged[i];
    if (one.LastPaymentDate > client.LastPaymentDate) {
        client.LastPaymentDate = one.LastPaymentDate;
        client.LastPaymentAmount = one.LastPaymentAmount;
    } else if (one.LastPaymentDate == client.LastPaymentDate) {
        client.LastPaymentAmount += one.LastPaymentAmount;
    }
}

std::string CaseCountText(Integer count) { return IntToStr(count) + (count < 2 ? " case" : " cases"); }

}  // namespace

TAccountFigures::TAccountFigures(TDataModule1* dataModule, TAccountFigureTarget& screen, TAccountFigureTarget& print)
    : dm_(dataModule), screen_(screen), print_(print)
{
}

Integer TAccountFigures::AgeBucket(const std::string& HostDate) const
{
    const TDateTime date = dunlist::HostDateToDate(HostDate, true);
    if (dunlist::HostDateError) return -1;
    const Integer days = std::max<Integer>(Integer(std::trunc(Date()) - std::trunc(date)), 1);
    return std::min<Integer>((days + 29) / 30, 5);
}

void TAccountFigures::ShowTotals(const TAccountTotals& totals, TAccountFigureTarget& target) const
{
    const std::pair<TAccountFigure, double> money[] = {
        {TAccountFigure::CtdFees, totals.CtdFees},           {TAccountFigure::WipFees, totals.WipFees},
        {TAccountFigure::CtdCosts, totals.CtdCosts},         {TAccountFigure::WipCosts, totals.WipCosts},
        {TAccountFigure::FeeBillings, totals.FeeBillings},   {TAccountFigure::CostBillings, totals.CostBillings},
        {TAccountFigure::FeePayments, totals.FeePayments},   {TAccountFigure::CostPayments, totals.CostPayments},
        {TAccountFigure::LastPaymentAmount, -totals.LastPaymentAmount},
        {TAccountFigure::Under30, totals.Aged[0]},           {TAccountFigure::From31To60, totals.Aged[1]},
        {TAccountFigure::From61To90, totals.Aged[2]},        {TAccountFigure::From91To120, totals.Aged[3]},
        {TAccountFigure::Over120, totals.Aged[4]},           {TAccountFigure::TotalAR, totals.TotalAR},
    };
    for (const auto& [figure, value] : money) target.ShowFigure(figure, FigureText(value));
    target.ShowFigure(TAccountFigure::LastPaymentDate, PaymentDateText(totals.LastPaymentDate));
}

// --- One case ----------------------------------------------------------------------------------------------------------

void TAccountFigures::CaseLevel(const std::string& ClientKey, const std::string& CaseSuffix, bool PrintMode)
{
    case_ = TAccountTotals{};
    // Fee and bill files hold the suffix right-justified.
    const std::string billCase = RightJustified(Trim(CaseSuffix), SuffixWidth);
    if (!PrintMode) screen_.ShowAlternateID(Text(dm_->Case1_, "Alternate ID"));
    SumFees(ClientKey, billCase);
    SumCosts(ClientKey, billCase);
    SumBillings(ClientKey, billCase);
    SumPayments(ClientKey, billCase);
    FindLastPayment(ClientKey, billCase);
    AgeInvoices(ClientKey, billCase);
    AddOpenRetainers(ClientKey, billCase);
    ShowTotals(case_, TargetOf(PrintMode));
}

void TAccountFigures::SumFees(const std::string& clientKey, const std::string& billCase)
{
    Require(dm_->OpenFees("fee.qf", "F", "", "", clientKey, billCase));
    const TFeeSums sums = SumFeeRange(dm_->Fee_);
    TDataSet* theCase = dm_->Case1_;
    case_.CtdFees = Amount(theCase, "CTD act fees") + sums.Billable - Amount(theCase, "CTD fee wd") +
                    Amount(theCase, "CTD fee wu");
    case_.WipFees = sums.Unbilled;
    dm_->CloseFees();
}

void TAccountFigures::SumCosts(const std::string& clientKey, const std::string& billCase)
{
    Require(dm_->OpenFees("fee.qf", "C", "", "", clientKey, billCase));
    const TFeeSums sums = SumFeeRange(dm_->Fee_);
    TDataSet* theCase = dm_->Case1_;
    case_.CtdCosts = Amount(theCase, "CTD dir cost") + sums.Billable - Amount(theCase, "CTD dir cost wd") +
                     Amount(theCase, "CTD dir cost wu") + Amount(theCase, "CTD indirect cost") -
                     Amount(theCase, "CTD indirect cost wd") + Amount(theCase, "CTD Indirect cost wu");
    case_.WipCosts = sums.Unbilled;
    dm_->CloseFees();
}

void TAccountFigures::SumBillings(const std::string& clientKey, const std::string& billCase)
{
    Require(dm_->OpenBills("bill.qf", clientKey, billCase, "B"));
    const TBillSums sums = SumOpenBills(dm_->Bill_);
    TDataSet* theCase = dm_->Case1_;
    case_.FeeBillings = sums.Fees + Amount(theCase, "CTD fee billings");
    case_.CostBillings = sums.Costs + Amount(theCase, "CTD DC Billings") + Amount(theCase, "CTD IC Billings");
    dm_->CloseBills();
}

void TAccountFigures::SumPayments(const std::string& clientKey, const std::string& billCase)
{
    Require(dm_->OpenBills("bill.qf", clientKey, billCase, "P"));
    const TBillSums sums = SumOpenBills(dm_->Bill_);
    TDataSet* theCase = dm_->Case1_;
    case_.FeePayments = -(sums.Fees + Amount(theCase, "CTD fee payments"));
    case_.CostPayments = -(sums.Costs + Amount(theCase, "CTD DC Payments") + Amount(theCase, "CTD IC Payments"));
    dm_->CloseBills();
}

void TAccountFigures::FindLastPayment(const std::string& clientKey, const std::string& billCase)
{
    for (const char* file : {"bill.qf", "hbill.qf"}) {
        Require(dm_->OpenBills(file, clientKey, billCase, "P"));
        dm_->FindLastPayment(case_.LastPaymentAmount, case_.LastPaymentDate);
        dm_->CloseBills();
    }
}

void TAccountFigures::AgeInvoices(const std::string& clientKey, const std::string& billCase)
{
    Require(dm_->OpenBills("Bill.qf", clientKey, billCase, "B"));
    TStringList entries;
    dm_->ListInvoices(AllDates, false, &entries, false);
    dm_->CloseBills();
    std::set<std::string> invoices;  // each invoice once, in order
    for (Integer i = 0; i < entries.Count(); ++i) invoices.insert(entries.Strings(i).substr(0, InvoiceWidth));
    if (invoices.empty()) return;
    Require(dm_->OpenBillsByInvoice("bill.qf"));
    for (const std::string& invoice : invoices) {
        InvoiceAmounts amounts{};
        std::string cutDate, billDate;
        dm_->SumInvoiceAmounts(invoice, AllDates, cutDate, billDate, amounts);
        if (Trim(billDate).empty()) continue;
        const Integer bucket = AgeBucket(billDate);
        if (bucket < 1) continue;
        for (double amount : amounts) {
            case_.Aged[bucket - 1] += amount;
            case_.TotalAR += amount;
        }
    }
    dm_->CloseBills();
}

void TAccountFigures::AddOpenRetainers(const std::string& clientKey, const std::string& billCase)
{
    double retainers = 0;
    for (const char* type : {"P", "A"}) {
        Require(dm_->OpenBills("Bill.qf", clientKey, billCase, type));
        retainers += dm_->SumOpenRetainers(AllDates);
        dm_->CloseBills();
    }
    case_.Aged[0] += retainers;
    case_.TotalAR += retainers;
}

// --- A whole client ----------------------------------------------------------------------------------------------------

void TAccountFigures::ClientLevel(const std::string& ClientKey, bool PrintMode)
{
    TvxBkTable* cases = dm_->Case1_;
    try {
        if (!cases->Active()) {
            cases->SetTableName(dm_->DataDirectory + "\\ycase.qf;RES:YCASE");
            cases->Open();
        }
        cases->SetIndexName("1");
        // Over the client code alone, so that every suffix of the client is inside.
        cases->SetRange({ClientKey}, {ClientKey});
        cases->First();
    } catch (const Exception&) {
        MessageDlg("Unable to open case file.\r\r" + dunlist::ContactForAssistanceText, mtError,
                   TMsgDlgButtons{mbOK}, 0);
        EndProgram();
    }
    TAccountTotals client;
    Integer count = 0;
    for (; !cases->Eof(); cases->Next()) {
        const std::string suffix = LeftJustified(Trim(Text(cases, "Case Suffix").substr(0, SuffixWidth)), SuffixWidth);
        CaseLevel(ClientKey, suffix, PrintMode);
        ++count;
        AddCase(client, case_);
    }
    cases->CancelRange();
    TAccountFigureTarget& target = TargetOf(PrintMode);
    target.ShowFigure(TAccountFigure::CaseCount, CaseCountText(count));
    ShowTotals(client, target);
}
