#include "rtl/DateFormat.h"

#include <cctype>
#include <cstring>

#include "rtl/DateTime.h"
#include "rtl/FormatSettings.h"

namespace {

bool StartsWithNoCase(const std::string& s, size_t at, const char* word)
{
    size_t n = std::strlen(word);
    if (at + n > s.size()) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(s[at + i])) != word[i]) return false;
    return true;
}

std::string Number(int value, int minDigits)
{
    std::string digits = std::to_string(value);
    if (int(digits.size()) < minDigits) digits.insert(0, minDigits - digits.size(), '0');
    return digits;
}

class DateTimeWriter {
public:
    explicit DateTimeWriter(TDateTime value) : value_(value)
    {
        DecodeDate(value, year_, month_, day_);
        DecodeTime(value, hour_, min_, sec_, msec_);
    }

    void Append(const std::string& format)
    {
        // Formats nest (ddddd, c, t) only two levels deep, as on the platform.
        if (level_ >= 2) return;
        ++level_;
        char lastToken = ' ';
        size_t i = 0;
        while (i < format.size()) {
            const char starter = format[i++];
            char token = static_cast<char>(std::toupper(static_cast<unsigned char>(starter)));
            if (std::isalpha(static_cast<unsigned char>(token))) {
                if (token == 'M' && lastToken == 'H') token = 'N';
                lastToken = token;
            }
            i = AppendToken(format, i, starter, token);
        }
        --level_;
    }

    const std::string& Text() const { return out_; }

private:
    // Length of the run of `starter` that began at i - 1; moves i past it.
    static int Count(const std::string& format, size_t& i, char starter)
    {
        int count = 1;
        while (i < format.size() && format[i] == starter) ++i, ++count;
        return count;
    }

    size_t AppendToken(const std::string& format, size_t i, char starter, char token)
    {
        switch (token) {
        case 'Y': {
            int count = Count(format, i, starter);
            out_ += count <= 2 ? Number(year_ % 100, 2) : Number(year_, 4);
            break;
        }
        case 'G':
            Count(format, i, starter);  // Gregorian dates have no era name
            break;
        case 'E': {
            int count = Count(format, i, starter);
            out_ += Number(year_, count <= 1 ? 1 : 2);
            break;
        }
        case 'M': {
            int count = Count(format, i, starter);
            if (count <= 2)
                out_ += Number(month_, count);
            else if (month_ >= 1)  // dates before year 1 have no month
                out_ += count == 3 ? ShortMonthNames[month_] : LongMonthNames[month_];
            break;
        }
        case 'D': AppendDay(Count(format, i, starter)); break;
        case 'H': {
            int count = Count(format, i, starter);
            AppendHour(format, i, count);
            break;
        }
        case 'N': out_ += Number(min_, std::min(Count(format, i, starter), 2)); break;
        case 'S': out_ += Number(sec_, std::min(Count(format, i, starter), 2)); break;
        case 'Z': out_ += Number(msec_, std::min(Count(format, i, starter), 3)); break;
        case 'T': Append(Count(format, i, starter) == 1 ? ShortTimeFormat : LongTimeFormat); break;
        case 'C':
            Count(format, i, starter);
            Append(ShortDateFormat);
            if (hour_ != 0 || min_ != 0 || sec_ != 0) {
                out_ += ' ';
                Append(LongTimeFormat);
            }
            break;
        case 'A': i = AppendAmPm(format, i - 1, starter); break;
        case '/':
            if (DateSeparator != '\0') out_ += DateSeparator;
            break;
        case ':':
            if (TimeSeparator != '\0') out_ += TimeSeparator;
            break;
        case '\'':
        case '"': {
            size_t end = format.find(starter, i);
            if (end == std::string::npos) end = format.size();
            out_.append(format, i, end - i);
            i = end < format.size() ? end + 1 : end;
            break;
        }
        default:
            out_ += starter;
        }
        return i;
    }

    void AppendDay(int count)
    {
        switch (count) {
        case 1:
        case 2: out_ += Number(day_, count); break;
        case 3: out_ += ShortDayNames[DayOfWeek(value_)]; break;
        case 4: out_ += LongDayNames[DayOfWeek(value_)]; break;
        case 5: Append(ShortDateFormat); break;
        default: Append(LongDateFormat); break;
        }
    }

    // An am/pm marker later in the format (outside quotes, before the next hour) makes the hour 12-hour.
    static bool TwelveHourClock(const std::string& format, size_t from)
    {
        char quote = 0;
        for (size_t p = from; p < format.size(); ++p) {
            char c = format[p];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
            } else if (c == 'h' || c == 'H') {
                return false;
            } else if (c == 'a' || c == 'A') {
                return StartsWithNoCase(format, p, "AM/PM") || StartsWithNoCase(format, p, "A/P") ||
                       StartsWithNoCase(format, p, "AMPM");
            }
        }
        return false;
    }

    void AppendHour(const std::string& format, size_t i, int count)
    {
        int hour = hour_;
        if (TwelveHourClock(format, i)) {
            if (hour == 0)
                hour = 12;
            else if (hour > 12)
                hour -= 12;
        }
        out_ += Number(hour, std::min(count, 2));
    }

    // `at` is the position of the starter; returns the position after the token.
    size_t AppendAmPm(const std::string& format, size_t at, char starter)
    {
        const bool pm = hour_ >= 12;
        if (StartsWithNoCase(format, at, "AM/PM")) {
            out_.append(format, at + (pm ? 3 : 0), 2);
            return at + 5;
        }
        if (StartsWithNoCase(format, at, "A/P")) {
            out_ += format[at + (pm ? 2 : 0)];
            return at + 3;
        }
        if (StartsWithNoCase(format, at, "AMPM")) {
            out_ += pm ? TimePMString : TimeAMString;
            return at + 4;
        }
        if (StartsWithNoCase(format, at, "AAAA")) {
            out_ += LongDayNames[DayOfWeek(value_)];
            return at + 4;
        }
        if (StartsWithNoCase(format, at, "AAA")) {
            out_ += ShortDayNames[DayOfWeek(value_)];
            return at + 3;
        }
        out_ += starter;
        return at + 1;
    }

    TDateTime value_;
    Word year_, month_, day_, hour_, min_, sec_, msec_;
    int level_ = 0;
    std::string out_;
};

}  // namespace

std::string FormatDateTime(const std::string& format, TDateTime dateTime)
{
    DateTimeWriter writer(dateTime);
    writer.Append(format.empty() ? "C" : format);
    return writer.Text();
}

void DateTimeToString(std::string& result, const std::string& format, TDateTime dateTime)
{
    result = FormatDateTime(format, dateTime);
}

std::string DateToStr(TDateTime date) { return FormatDateTime(ShortDateFormat, date); }
std::string TimeToStr(TDateTime time) { return FormatDateTime(LongTimeFormat, time); }
std::string DateTimeToStr(TDateTime dateTime) { return FormatDateTime("", dateTime); }
