#include "duntrack/AccountStatus.h"

#include <cmath>
#include <set>

#include "duntrack/OVWDatModU.h"
#include "hostdata/DateFmtu.h"
#include "rtl/Clock.h"
#include "rtl/StringRoutines.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"

namespace {

const std::string AllDates = "999999";
constexpr size_t InvoiceWidth = 8;
constexpr Integer DaysPerBucket = 30;
constexpr Integer BucketCount = 5;

std::string Text(TDataSet* table, const char* field) { return table->FieldByName(field)->AsString(); }
double Amount(TDataSet* table, const char* field) { return table->FieldByName(field)->AsFloat(); }

// A shown payment: the stored value negated, never "-0.00".
double Negated(double amount) { return -amount + 0.0; }

// What an invoice still owes: its amounts; the frozen mark is a flag, not money.
double InvoiceBalance(const InvoiceAmounts& amounts)
{
    double sum = 0;
    for (double amount : amounts) {
        if (amount != FrozenMark) sum += amount;
    }
    return sum;
}

// The invoice numbers of the entries of ListInvoices, each once.
std::set<std::string> DistinctInvoices(const TStringList& entries)
{
    std::set<std::string> invoices;
    for (Integer i = 0; i < entries.Count(); ++i) invoices.insert(entries.Strings(i).substr(0, InvoiceWidth));
    return invoices;
}

void ShowCaseToDateFailure()
{
    MessageDlg("Ordavane was unable to read the \rCTD values stored in the case file.\r\rPlease contact KDV for "
               "assistance.",
               mtError, TMsgDlgButtons{mbOK}, 0);
}

}  // namespace

std::string AmountText(double amount) { return Format("%15n", {amount}); }

Integer AgeBucket(const std::string& hostDate)
{
    const TDateTime date = HostDateToDate(hostDate, true);
    if (HostDateError) {
        HostDateError = false;
        return 0;
    }
    const Integer days = std::max<Integer>(Integer(std::trunc(Date()) - std::trunc(date)), 1);
    return std::min<Integer>((days + DaysPerBucket - 1) / DaysPerBucket, BucketCount);
}

TAccountStatusTexts AccountStatusTexts(const TAccountStatus& status, bool caseGiven)
{
    TAccountStatusTexts texts;
    if (status.WorkInProgressRead) {
        texts.WIPFees = AmountText(status.WIPFees);
        texts.WIPCosts = AmountText(status.WIPCosts);
    }
    if (status.ReceivablesRead) {
        for (size_t i = 0; i < texts.Buckets.size(); ++i) texts.Buckets[i] = AmountText(status.Buckets[i]);
        texts.TotalAR = AmountText(status.TotalAR);
    }
    if (status.CaseToDateRead) {
        texts.CTDFeeDollars = AmountText(status.FeeDollars);
        texts.CTDCostDollars = AmountText(status.CostDollars);
        texts.CTDFeeBillings = AmountText(status.FeeBillings);
        texts.CTDCostBillings = AmountText(status.CostBillings);
        texts.CTDFeePayments = AmountText(Negated(status.FeePayments));
        texts.CTDCostPayments = AmountText(Negated(status.CostPayments));
        if (!caseGiven) texts.NumCases = "Number of Cases:  " + IntToStr(status.CaseCount);
        if (!status.LastPaymentDate.empty()) {
            texts.PmtAmt = Trim(AmountText(Negated(status.LastPaymentAmount)));
            texts.PmtDate = Trim(HostDateToDisplayDate(status.LastPaymentDate, false));
        }
    }
    return texts;
}

// ---- TAccountStatusReader

TAccountStatusReader::TAccountStatusReader(TDM* dataModule, const std::string& dataDirectory)
    : dm_(dataModule), dataDirectory_(dataDirectory)
{
}

TAccountStatus TAccountStatusReader::Read(const std::string& clientCode, const std::string& caseSuffix)
{
    client_ = Trim(clientCode);
    suffix_ = Trim(caseSuffix);
    caseKey_ = Format("%7s", {suffix_});
    TAccountStatus status;
    ReadWorkInProgress(status);
    ReadReceivables(status);
    ReadCaseToDate(status);
    return status;
}

void TAccountStatusReader::ReadWorkInProgress(TAccountStatus& status)
{
    if (!dm_->OpenFees("Fee.qf", "", "", "", client_, caseKey_)) return;
    FeeTotals totals{};
    dm_->SumFees(caseKey_, AllDates, totals);
    status.WIPFees = totals[6];
    status.WIPCosts = totals[12] + totals[18];
    status.WorkInProgressRead = true;
    dm_->CloseFees();
}

void TAccountStatusReader::ReadReceivables(TAccountStatus& status)
{
    if (!AgeInvoices(status) || !AddOpenRetainers(status)) {
        dm_->CloseBills();
        return;
    }
    for (double amount : status.Buckets) status.TotalAR += amount;
    status.ReceivablesRead = true;
    dm_->CloseBills();
}

bool TAccountStatusReader::AgeInvoices(TAccountStatus& status)
{
    if (!dm_->OpenBills("Bill.qf", client_, caseKey_, "B")) return false;
    TStringList entries;
    dm_->ListInvoices(AllDates, false, &entries, false);
    dm_->CloseBills();
    const std::set<std::string> invoices = DistinctInvoices(entries);
    if (invoices.empty()) return true;
    if (!dm_->OpenBillsByInvoice("bill.qf")) return false;
    for (const std::string& invoice : invoices) {
        InvoiceAmounts amounts{};
        std::string billDate, cutDate;
        double retainerAdjustment = 0;
        dm_->SumInvoiceAmounts(invoice, AllDates, false, amounts, billDate, cutDate, retainerAdjustment);
        if (Trim(billDate).empty()) continue;
        const Integer bucket = AgeBucket(billDate);
        if (bucket > 0) status.Buckets[size_t(bucket - 1)] += InvoiceBalance(amounts);
    }
    dm_->CloseBills();
    return true;
}

bool TAccountStatusReader::AddOpenRetainers(TAccountStatus& status)
{
    if (!dm_->OpenBills("Bill.qf", client_, caseKey_, "R")) return false;
    status.Buckets[0] += dm_->SumOpenRetainers(AllDates);
    return true;
}

void TAccountStatusReader::RangeCases()
{
    TvxBkTable* cases = dm_->Case2_;
    if (cases->Active()) {
        cases->CancelRange();
        cases->Close();
    }
    cases->SetTableName(dataDirectory_ + "\\ycase.qf;RES:YCASE");
    cases->Open();
    cases->SetIndexName("1");
    if (suffix_.empty())
        cases->SetRange({client_, ""}, {client_, "ZZZZZZZ"});
    else
        cases->SetRange({client_, caseKey_}, {client_, caseKey_});
}

void TAccountStatusReader::ReadCaseToDate(TAccountStatus& status)
{
    TvxBkTable* cases = dm_->Case2_;
    try {
        RangeCases();
        std::vector<std::string> suffixes;
        for (cases->First(); !cases->Eof(); cases->Next()) {
            suffixes.push_back(Text(cases, "Case Suffix"));
            status.FeeDollars += Amount(cases, "CTD act fees");
            status.CostDollars += Amount(cases, "CTD dir cost") + Amount(cases, "CTD indirect cost");
            status.FeeBillings += Amount(cases, "CTD fee billings");
            status.CostBillings += Amount(cases, "CTD DC Billings") + Amount(cases, "CTD IC Billings");
            status.FeePayments += Amount(cases, "CTD fee payments");
            status.CostPayments += Amount(cases, "CTD DC Payments") + Amount(cases, "CTD IC Payments");
            ++status.CaseCount;
        }
        cases->First();
        if (!suffixes.empty() &&
            (!FindLastPayment("Bill.qf", suffixes, status) || !FindLastPayment("HBill.qf", suffixes, status)))
            return;
        status.CaseToDateRead = true;
    } catch (const Exception&) {
        ShowCaseToDateFailure();
        if (cases->Active()) cases->Close();
    }
}

bool TAccountStatusReader::FindLastPayment(const std::string& fileName, const std::vector<std::string>& suffixes,
                                           TAccountStatus& status)
{
    if (!dm_->OpenBills(fileName, client_, suffixes.front(), "P")) return false;
    for (const std::string& suffix : suffixes) {
        dm_->Bill_->SetRange({client_, suffix}, {client_, suffix, "P", "999999"});
        dm_->FindLastPayment(status.LastPaymentAmount, status.LastPaymentDate);
    }
    dm_->CloseBills();
    return true;
}
