// The rows of a missing-time report by its period kind: one per day from the start date to the end date, or one
// per month, quarter or year the dates reach, keyed by host-date text (YY the years since 1980, MM the month).
#pragma once

#include <string>
#include <vector>

#include "rtl/Types.h"

enum class TPeriodKind { Unknown, Day, Month, Quarter, Year };

// "D", "M", "Q" or "Y", compared exactly; any other text is Unknown.
TPeriodKind PeriodKindOf(const std::string& text);

class TReportRows {
public:
    TReportRows() = default;
    TReportRows(TPeriodKind kind, TDateTime startDate, TDateTime endDate);

    TPeriodKind Kind() const { return kind_; }
    // No rows for an unknown kind or an end before the start.
    int Count() const { return count_; }
    // The sorted keys of month ("YYMM"), quarter ("YY01 YY02 YY03") and year ("YY") rows; none for days.
    const std::vector<std::string>& Keys() const { return keys_; }
    // The row a host date falls in; -1 for none.
    int RowOf(const std::string& hostDate) const;

private:
    void AddMonths(Integer firstMonth, Integer lastMonth, Integer step);
    int DayRowOf(const std::string& hostDate) const;
    int KeyRowOf(const std::string& key) const;

    TPeriodKind kind_ = TPeriodKind::Unknown;
    TDateTime start_ = 0;
    int count_ = 0;
    std::vector<std::string> keys_;
};
