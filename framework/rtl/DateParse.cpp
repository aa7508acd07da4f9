#include "rtl/DateParse.h"

#include <cctype>

#include "rtl/Clock.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/FormatSettings.h"
#include "rtl/StringRoutines.h"

namespace {

enum class DateOrder { MDY, DMY, YMD };

// The first of the letters d, m, y (or e) in the short date format decides the order.
DateOrder GetDateOrder(const std::string& format)
{
    for (char c : format) {
        switch (std::toupper(static_cast<unsigned char>(c))) {
        case 'E':
        case 'Y': return DateOrder::YMD;
        case 'M': return DateOrder::MDY;
        case 'D': return DateOrder::DMY;
        default: break;
        }
    }
    return DateOrder::MDY;
}

class Scanner {
public:
    explicit Scanner(const std::string& s) : s_(s) {}

    bool AtEnd() const { return pos_ >= s_.size(); }

    void SkipBlanks()
    {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    }

    bool Char(char c)
    {
        SkipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool Word(const std::string& word)
    {
        SkipBlanks();
        if (word.empty() || CompareText(s_.substr(pos_, word.size()), word) != 0) return false;
        pos_ += word.size();
        return true;
    }

    // Up to the digit that makes the number reach 1000 or more; `length` is the count of digits read.
    bool Number(int& value, int& length)
    {
        SkipBlanks();
        size_t start = pos_;
        int n = 0;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])) && n < 1000)
            n = n * 10 + (s_[pos_++] - '0');
        if (pos_ == start) return false;
        value = n;
        length = int(pos_ - start);
        return true;
    }

private:
    const std::string& s_;
    size_t pos_ = 0;
};

int ExpandYear(int year)
{
    const int base = CurrentYear() - TwoDigitYearCenturyWindow;
    year += base / 100 * 100;
    if (TwoDigitYearCenturyWindow > 0 && year < base) year += 100;
    return year;
}

bool ScanDate(Scanner& in, TDateTime& date)
{
    int n1, n2, n3, l1, l2, l3;
    if (!(in.Number(n1, l1) && in.Char(DateSeparator) && in.Number(n2, l2))) return false;
    const DateOrder order = GetDateOrder(ShortDateFormat);
    int y, m, d;
    if (in.Char(DateSeparator)) {
        if (!in.Number(n3, l3)) return false;
        int yearLength;
        switch (order) {
        case DateOrder::MDY: y = n3, yearLength = l3, m = n1, d = n2; break;
        case DateOrder::DMY: y = n3, yearLength = l3, m = n2, d = n1; break;
        default: y = n1, yearLength = l1, m = n2, d = n3; break;
        }
        if (yearLength <= 2) y = ExpandYear(y);
    } else {
        y = CurrentYear();
        if (order == DateOrder::DMY)
            d = n1, m = n2;
        else
            m = n1, d = n2;
    }
    in.Char(DateSeparator);
    in.SkipBlanks();
    return TryEncodeDate(::Word(y), ::Word(m), ::Word(d), date);
}

// -1 when no marker is there, else the hour the marker adds (0 for AM, 12 for PM).
int ScanAmPm(Scanner& in)
{
    if (in.Word(TimeAMString) || in.Word("AM")) return 0;
    if (in.Word(TimePMString) || in.Word("PM")) return 12;
    return -1;
}

bool ScanTime(Scanner& in, TDateTime& time)
{
    int baseHour = ScanAmPm(in);
    if (baseHour >= 0) in.SkipBlanks();
    int hour, min = 0, sec = 0, msec = 0, length;
    if (!in.Number(hour, length)) return false;
    if (in.Char(TimeSeparator)) {
        if (!in.Number(min, length)) return false;
        if (in.Char(TimeSeparator)) {
            if (!in.Number(sec, length)) return false;
            if (in.Char(DecimalSeparator) && !in.Number(msec, length)) return false;
        }
    }
    if (baseHour < 0) baseHour = ScanAmPm(in);
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12) return false;
        if (hour == 12) hour = 0;
        hour += baseHour;
    }
    in.SkipBlanks();
    return TryEncodeTime(::Word(hour), ::Word(min), ::Word(sec), ::Word(msec), time);
}

TDateTime OrRaise(bool (*parse)(const std::string&, TDateTime&), const char* message, const std::string& s)
{
    TDateTime value = 0;
    if (!parse(s, value)) throw EConvertError(Format(message, {s}));
    return value;
}

}  // namespace

bool TryStrToDate(const std::string& s, TDateTime& value)
{
    Scanner in(s);
    TDateTime date;
    if (!ScanDate(in, date) || !in.AtEnd()) return false;
    value = date;
    return true;
}

bool TryStrToTime(const std::string& s, TDateTime& value)
{
    Scanner in(s);
    TDateTime time;
    if (!ScanTime(in, time) || !in.AtEnd()) return false;
    value = time;
    return true;
}

bool TryStrToDateTime(const std::string& s, TDateTime& value)
{
    Scanner in(s);
    TDateTime date, time = 0;
    if (ScanDate(in, date) && (in.AtEnd() || (ScanTime(in, time) && in.AtEnd()))) {
        value = date >= 0 ? date + time : date - time;
        return true;
    }
    return TryStrToTime(s, value);
}

TDateTime StrToDate(const std::string& s) { return OrRaise(TryStrToDate, "'%s' is not a valid date", s); }

TDateTime StrToTime(const std::string& s) { return OrRaise(TryStrToTime, "'%s' is not a valid time", s); }

TDateTime StrToDateTime(const std::string& s) { return OrRaise(TryStrToDateTime, "'%s' is not a valid date and time", s); }
