#include "gapreport/ReportRows.h"

#include <algorithm>
#include <cmath>

#include "hostdata/DateFmtu.h"
#include "rtl/DateTime.h"
#include "rtl/Format.h"
#include "rtl/IntConv.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr Integer HostBaseYear = 1980;
constexpr Integer MonthsPerQuarter = 3;

// Months counted from January of the host's first year.
Integer HostMonthOf(TDateTime date)
{
    Word year, month, day;
    DecodeDate(date, year, month, day);
    return (Integer(year) - HostBaseYear) * 12 + Integer(month) - 1;
}

std::string TwoDigits(Integer value)
{
    return Format("%.2d", {value});
}

// "YY01 YY02 YY03" for the first quarter, up to "YY10 YY11 YY12".
std::string QuarterKey(const std::string& year, Integer quarter)
{
    const Integer first = quarter * MonthsPerQuarter + 1;
    return year + TwoDigits(first) + " " + year + TwoDigits(first + 1) + " " + year + TwoDigits(first + 2);
}

}  // namespace

TPeriodKind PeriodKindOf(const std::string& text)
{
    if (text == "D") return TPeriodKind::Day;
    if (text == "M") return TPeriodKind::Month;
    if (text == "Q") return TPeriodKind::Quarter;
    if (text == "Y") return TPeriodKind::Year;
    return TPeriodKind::Unknown;
}

TReportRows::TReportRows(TPeriodKind kind, TDateTime startDate, TDateTime endDate) : kind_(kind), start_(startDate)
{
    const Integer first = HostMonthOf(startDate);
    const Integer last = HostMonthOf(endDate);
    switch (kind) {
    case TPeriodKind::Day:
        count_ = std::max(0, int(std::trunc(endDate) - std::trunc(startDate)) + 1);
        return;
    case TPeriodKind::Month:
        AddMonths(first, last, 1);
        break;
    case TPeriodKind::Quarter:
        AddMonths(first - first % MonthsPerQuarter, last, MonthsPerQuarter);
        break;
    case TPeriodKind::Year:
        AddMonths(first - first % 12, last, 12);
        break;
    case TPeriodKind::Unknown:
        return;
    }
    count_ = int(keys_.size());
}

// One key per step of months, from the first month's up to the one holding the last month.
void TReportRows::AddMonths(Integer firstMonth, Integer lastMonth, Integer step)
{
    for (Integer month = firstMonth; month <= lastMonth; month += step) {
        const std::string year = TwoDigits(month / 12);
        switch (kind_) {
        case TPeriodKind::Month: keys_.push_back(year + TwoDigits(month % 12 + 1)); break;
        case TPeriodKind::Quarter: keys_.push_back(QuarterKey(year, month % 12 / MonthsPerQuarter)); break;
        default: keys_.push_back(year); break;
        }
    }
}

int TReportRows::RowOf(const std::string& hostDate) const
{
    switch (kind_) {
    case TPeriodKind::Month:
        return KeyRowOf(Copy(hostDate, 1, 4));
    case TPeriodKind::Quarter: {
        Integer month = 0;
        if (!TryStrToInt(Copy(hostDate, 3, 2), month) || month < 1 || month > 12) return -1;
        return KeyRowOf(QuarterKey(Copy(hostDate, 1, 2), (month - 1) / MonthsPerQuarter));
    }
    case TPeriodKind::Year:
        return KeyRowOf(Copy(hostDate, 1, 2));
    default:
        return DayRowOf(hostDate);
    }
}

int TReportRows::DayRowOf(const std::string& hostDate) const
{
    const TDateTime date = HostDateToDate(hostDate, true);
    if (HostDateError) return -1;
    const int row = int(std::trunc(date) - std::trunc(start_));
    return row >= 0 && row < count_ ? row : -1;
}

int TReportRows::KeyRowOf(const std::string& key) const
{
    const auto found = std::lower_bound(keys_.begin(), keys_.end(), key);
    return found != keys_.end() && *found == key ? int(found - keys_.begin()) : -1;
}
