// The account status of a client or a client-matter, computed without a window: work in progress, receivables by
// invoice aged into five 30-day buckets plus open retainers, the case-to-date sums with the number of cases, and
// the last payment. The account form only shows the texts. A block whose file could not be read is marked unread,
// so its labels are cleared rather than left showing another account's figures.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "rtl/Types.h"

class TDM;

struct TAccountStatus {
    bool WorkInProgressRead = false;
    double WIPFees = 0, WIPCosts = 0;

    bool ReceivablesRead = false;
    std::array<double, 5> Buckets{};  // up to 30, 31-60, 61-90, 91-120, over 120 days
    double TotalAR = 0;

    bool CaseToDateRead = false;
    double FeeDollars = 0, CostDollars = 0, FeeBillings = 0, CostBillings = 0;
    double FeePayments = 0, CostPayments = 0;  // as stored: payments are negative
    Integer CaseCount = 0;
    double LastPaymentAmount = 0;  // as stored
    std::string LastPaymentDate;   // host date, empty when none was found

    // The total the minimum total A/R is compared with: a negative total counts as 0.
    double TotalARForMinimum() const { return ReceivablesRead && TotalAR > 0 ? TotalAR : 0; }
};

// What the account form's labels show; empty texts for a block that was not read.
struct TAccountStatusTexts {
    std::string WIPFees, WIPCosts;
    std::array<std::string, 5> Buckets;
    std::string TotalAR;
    std::string CTDFeeDollars, CTDCostDollars, CTDFeeBillings, CTDCostBillings, CTDFeePayments, CTDCostPayments;
    std::string NumCases;
    std::string PmtAmt, PmtDate;
};

// "%15n": thousands separators, two decimals, right-justified in 15.
std::string AmountText(double amount);

// The bucket (1-5) of an invoice dated hostDate against today: 1-30 days (today and later count as 1 day) is 1,
// 31-60 is 2, ... more than 120 is 5; 0 for a date that is not a valid host date.
Integer AgeBucket(const std::string& hostDate);

// Texts of the status; the case count only for a whole client (no case suffix).
TAccountStatusTexts AccountStatusTexts(const TAccountStatus& status, bool caseGiven);

// Reads the figures through the data module's fee and bill files and its second case table, which is left on the
// account's cases by index "1" (the lookup form's alternate-ID range is then set).
class TAccountStatusReader {
public:
    TAccountStatusReader(TDM* dataModule, const std::string& dataDirectory);

    TAccountStatus Read(const std::string& clientCode, const std::string& caseSuffix);

private:
    void ReadWorkInProgress(TAccountStatus& status);
    void ReadReceivables(TAccountStatus& status);
    bool AgeInvoices(TAccountStatus& status);
    bool AddOpenRetainers(TAccountStatus& status);
    void ReadCaseToDate(TAccountStatus& status);
    void RangeCases();
    bool FindLastPayment(const std::string& fileName, const std::vector<std::string>& suffixes,
                         TAccountStatus& status);

    TDM* dm_;
    std::string dataDirectory_;
    std::string client_;
    std::string suffix_;   // trimmed
    std::string caseKey_;  // the suffix right-justified in 7, blanks for the whole client
};
