#include "hostdata/DateFmtu.h"

#include <cctype>

#include "hostdata/OVWCon.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"

bool HostDateError = false;

const std::string FallbackHostDate = "010101";
const std::string FallbackDisplayDate = "01/01/81";

namespace {

constexpr Word FirstHostYear = 1980;
constexpr Word LastHostYear = 2079;
constexpr size_t HostDateLength = 6;

const std::string UseLongFallbackText = "Date 01/01/1981 will be used. ";
const std::string UseShortFallbackText = "Date 01/01/81 will be used. ";

struct THostDateParts {
    Word Year = 0;
    Word Month = 0;
    Word Day = 0;
};

void ReportFailure(bool quiet, const std::string& text)
{
    if (!quiet) MessageDlg(text + CallForAssistanceSuffix, mtError, TMsgDlgButtons{mbOK}, 0);
}

bool IsDigits(const std::string& text)
{
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// Six characters after trimming, all of them digits.
bool HasSixDigits(const std::string& hostDate)
{
    const std::string trimmed = Trim(hostDate);
    return trimmed.size() == HostDateLength && IsDigits(trimmed);
}

// Two digits at index of the text as passed.
bool ReadTwoDigits(const std::string& text, size_t index, Word& value)
{
    if (text.size() < index + 2) return false;
    const std::string digits = text.substr(index, 2);
    if (!IsDigits(digits)) return false;
    value = Word((digits[0] - '0') * 10 + (digits[1] - '0'));
    return true;
}

// Year, month and day of a host date as passed (untrimmed), checked against the calendar.
bool DecodeHostDate(const std::string& hostDate, THostDateParts& parts)
{
    Word yearPart = 0;
    if (!ReadTwoDigits(hostDate, 0, yearPart) || !ReadTwoDigits(hostDate, 2, parts.Month) ||
        !ReadTwoDigits(hostDate, 4, parts.Day)) {
        return false;
    }
    parts.Year = Word(FirstHostYear + yearPart);
    TDateTime ignored;
    return TryEncodeDate(parts.Year, parts.Month, parts.Day, ignored);
}

std::string TwoDigits(Word value)
{
    const std::string text = IntToStr(value % 100);
    return text.size() == 1 ? "0" + text : text;
}

char DateOrderLetter()
{
    return ShortDateFormat.empty() ? '\0' : char(std::toupper(static_cast<unsigned char>(ShortDateFormat[0])));
}

std::string JoinDisplayDate(bool dayFirst, const THostDateParts& parts, const std::string& yearText)
{
    return dayFirst ? TwoDigits(parts.Day) + "/" + TwoDigits(parts.Month) + "/" + yearText
                    : TwoDigits(parts.Month) + "/" + TwoDigits(parts.Day) + "/" + yearText;
}

std::string DateText(TDateTime date)
{
    try {
        return DateToStr(date);
    } catch (const Exception&) {
        return FloatToStr(date);
    }
}

std::string LengthFailureText(const std::string& hostDate)
{
    return "Invalid OV file date length - Must be 6 integers. (" + hostDate + ")  Can't convert to OV display date. " +
           UseShortFallbackText;
}

}  // namespace

std::string DateToHostDate(bool quiet, TDateTime date)
{
    HostDateError = true;
    Word year = 0, month = 0, day = 0;
    DecodeDate(date, year, month, day);
    if (year < FirstHostYear || year > LastHostYear) {
        ReportFailure(quiet, "Invalid date (" + DateText(date) + ") cannot convert to OV file format. " +
                                     UseLongFallbackText);
        return FallbackHostDate;
    }
    HostDateError = false;
    return TwoDigits(Word(year - FirstHostYear)) + TwoDigits(month) + TwoDigits(day);
}

TDateTime HostDateToDate(const std::string& hostDate, bool quiet)
{
    HostDateError = true;
    // Two-digit years typed or shown anywhere in the program fall in 1980-2079.
    TwoDigitYearCenturyWindow = Word(CurrentYear() - FirstHostYear);
    if (!HasSixDigits(hostDate)) {
        ReportFailure(quiet, "Invalid date - must be 6 integers. (" + hostDate + ") " + UseLongFallbackText);
        return FallbackDate;
    }
    THostDateParts parts;
    if (!DecodeHostDate(hostDate, parts)) {
        ReportFailure(quiet, "Invalid OV file date  " + hostDate + UseLongFallbackText);
        return FallbackDate;
    }
    HostDateError = false;
    return EncodeDate(parts.Year, parts.Month, parts.Day);
}

std::string HostDateToDisplayDate(const std::string& hostDate, bool quiet)
{
    HostDateError = true;
    const std::string trimmed = Trim(hostDate);
    if (trimmed.size() != HostDateLength) {
        ReportFailure(quiet, LengthFailureText(hostDate));
        return FallbackDisplayDate;
    }
    if (!IsDigits(trimmed)) {
        ReportFailure(quiet, "Invalid OV file date - must be 6 integers. (" + hostDate +
                                     ")  Can't convert to OV display date. " + UseShortFallbackText);
        return FallbackDisplayDate;
    }
    THostDateParts parts;
    const char order = DateOrderLetter();
    if (!DecodeHostDate(hostDate, parts) || (order != 'D' && order != 'M')) {
        ReportFailure(quiet, "Can't convert OV file date to OV display date. DateFormat = " + ShortDateFormat +
                                     ". OV file date = " + hostDate + ". " + UseLongFallbackText);
        return FallbackDisplayDate;
    }
    HostDateError = false;
    return JoinDisplayDate(order == 'D', parts, IntToStr(parts.Year));
}

std::string HostDateToShortDisplayDate(const std::string& hostDate, bool quiet)
{
    HostDateError = true;
    if (!HasSixDigits(hostDate)) {
        ReportFailure(quiet, LengthFailureText(hostDate));
        return FallbackDisplayDate;
    }
    THostDateParts parts;
    if (!DecodeHostDate(hostDate, parts)) {
        ReportFailure(quiet, "Can't convert OV file date to OV display date. DateFormat = " + ShortDateFormat +
                                     ".  OV file date = " + hostDate + ". " + UseShortFallbackText);
        return FallbackDisplayDate;
    }
    HostDateError = false;
    return JoinDisplayDate(DateOrderLetter() == 'D', parts, TwoDigits(parts.Year));
}
