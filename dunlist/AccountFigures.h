// The account figures of a case or a whole client, computed from the case record and the host's fee and bill
// files: case-to-date fees and costs, billings, payments, the last payment, work in progress and the receivables
// by age. They are shown on the account form (screen mode) or the report's account band (print mode).
#pragma once

#include <array>
#include <string>

#include "rtl/Types.h"

class TDataModule1;

enum class TAccountFigure {
    CtdFees, WipFees, CtdCosts, WipCosts, FeeBillings, CostBillings, FeePayments, CostPayments,
    LastPaymentDate, LastPaymentAmount, Under30, From31To60, From61To90, From91To120, Over120, TotalAR, CaseCount
};

// Where the figures of one mode are shown.
class TAccountFigureTarget {
public:
    virtual ~TAccountFigureTarget() = default;
    virtual void ShowFigure(TAccountFigure figure, const std::string& text) = 0;
    // The case's alternate ID; only the account form shows it.
    virtual void ShowAlternateID(const std::string& text) {}
};

struct TAccountTotals {
    double CtdFees = 0, CtdCosts = 0, FeeBillings = 0, CostBillings = 0, FeePayments = 0, CostPayments = 0;
    double WipFees = 0, WipCosts = 0;
    double LastPaymentAmount = 0;                   // as stored: payments are negative
    std::string LastPaymentDate = std::string(6, ' ');  // host date, blanks when none
    std::array<double, 5> Aged{};                   // <30, 31-60, 61-90, 91-120, >120
    double TotalAR = 0;
};

class TAccountFigures {
public:
    TAccountFigures(TDataModule1* dataModule, TAccountFigureTarget& screen, TAccountFigureTarget& print);

    // One case, the current record of the module's Case1_. A table that cannot be opened ends the program.
    void CaseLevel(const std::string& ClientKey, const std::string& CaseSuffix, bool PrintMode);
    // Every case of the client, summed; the latest last payment (summed over cases paid that day).
    void ClientLevel(const std::string& ClientKey, bool PrintMode);
    // 1 to 5 by the days from the host date to today (<= 30, 31-60, 61-90, 91-120, more); -1 for an unusable date.
    Integer AgeBucket(const std::string& HostDate) const;

    // The figures of the latest CaseLevel.
    const TAccountTotals& CaseTotals() const { return case_; }

private:
    TAccountFigureTarget& TargetOf(bool printMode) const { return printMode ? print_ : screen_; }
    void ShowTotals(const TAccountTotals& totals, TAccountFigureTarget& target) const;

    void SumFees(const std::string& clientKey, const std::string& billCase);
    void SumCosts(const std::string& clientKey, const std::string& billCase);
    void SumBillings(const std::string& clientKey, const std::string& billCase);
    void SumPayments(const std::string& clientKey, const std::string& billCase);
    void FindLastPayment(const std::string& clientKey, const std::string& billCase);
    void AgeInvoices(const std::string& clientKey, const std::string& billCase);
    void AddOpenRetainers(const std::string& clientKey, const std::string& billCase);

    TDataModule1* dm_;
    TAccountFigureTarget& screen_;
    TAccountFigureTarget& print_;
    TAccountTotals case_;
};
