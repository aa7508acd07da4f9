#include "dunlist/DateFmtu.h"

#include <cctype>

#include "dunlist/OVWConstants.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"

namespace dunlist {

bool HostDateError = false;

namespace {

constexpr Integer FirstHostYear = 1980;

enum class TBuildResult { Built, BadYear, BadOrder };

std::string TwoDigits(Integer value) { return Format("%.2d", {value}); }

// The host date in the order of the short date format, joined by the date separator, with the year
// (YY + 80) mod 100. A year that is not a number fails; so does a format that begins with none of D, M, Y, after
// its message.
TBuildResult BuildDisplayText(const std::string& hostDate, std::string& text)
{
    Integer hostYear = 0;
    if (!TryStrToInt(Copy(hostDate, 1, 2), hostYear)) return TBuildResult::BadYear;
    const std::string year = TwoDigits((hostYear + 80) % 100);
    const std::string month = Copy(hostDate, 3, 2);
    const std::string day = Copy(hostDate, 5, 2);
    const std::string separator(1, DateSeparator);
    const char order = ShortDateFormat.empty() ? '\0' : char(std::toupper((unsigned char)ShortDateFormat[0]));
    switch (order) {
    case 'D': text = day + separator + month + separator + year; return TBuildResult::Built;
    case 'M': text = month + separator + day + separator + year; return TBuildResult::Built;
    case 'Y': text = year + separator + month + separator + day; return TBuildResult::Built;
    default:
        ShowMessage("Invalid global date format " + ShortDateFormat + CallForAssistanceSuffix);
        return TBuildResult::BadOrder;
    }
}

void ReportUnusable(const std::string& hostDate, bool quiet)
{
    if (!quiet) ShowMessage("Invalid OV file date  " + hostDate);
}

}  // namespace

TDateTime HostDateToDate(const std::string& hostDate, bool quiet)
{
    HostDateError = true;
    if (Trim(std::string(1, DateSeparator)).empty()) {
        ShowMessage("Invalid date format - no date separator " + ShortDateFormat + CallForAssistanceSuffix);
        return FallbackDate;
    }
    std::string text;
    switch (BuildDisplayText(hostDate, text)) {
    case TBuildResult::BadOrder: return FallbackDate;
    case TBuildResult::BadYear: ReportUnusable(hostDate, quiet); return FallbackDate;
    case TBuildResult::Built: break;
    }
    // Two-digit years read as 1980 to 2079.
    TwoDigitYearCenturyWindow = Word(CurrentYear() - FirstHostYear);
    TDateTime date = 0;
    if (!TryStrToDate(text, date)) {
        ReportUnusable(hostDate, quiet);
        return FallbackDate;
    }
    HostDateError = false;
    return date;
}

void HostDateToShortDisplayDate(const std::string& hostDate, std::string& output)
{
    HostDateError = true;
    std::string text;
    const TBuildResult result = BuildDisplayText(hostDate, text);
    if (result == TBuildResult::BadYear)
        ShowMessage("Invalid OV date format " + ShortDateFormat + CallForAssistanceSuffix);
    if (result != TBuildResult::Built) return;
    output = text;
    HostDateError = false;
}

}  // namespace dunlist
