#include "vxdata/vxSystem.h"

#include <cctype>

#include "db/Field.h"
#include "rtl/Clock.h"
#include "rtl/FloatConv.h"
#include "rtl/FormatSettings.h"
#include "rtl/StringRoutines.h"
#include "vxdata/Vxstr.h"

Integer vxGetDateOrder(const std::string& format)
{
    for (char c : format) {
        switch (std::toupper(Byte(c))) {
        case 'D': return 1;
        case 'M': return 0;
        case 'Y': return 2;
        default: break;
        }
    }
    return 0;
}

namespace {

// Reads date and time pieces from a text at a 1-based position that only moves forward on success.
class TDateTimeReader {
public:
    explicit TDateTimeReader(const std::string& text) : text_(text) {}

    Integer Position() const { return position_; }
    bool AtEnd() const { return position_ > Integer(text_.size()); }

    void SkipBlanks()
    {
        while (!AtEnd() && At(position_) == ' ') ++position_;
    }

    bool ReadChar(char c)
    {
        SkipBlanks();
        if (AtEnd() || At(position_) != c) return false;
        ++position_;
        return true;
    }

    bool ReadString(const std::string& s)
    {
        if (s.empty()) return false;
        SkipBlanks();
        if (AnsiUpperCase(Copy(text_, position_, Integer(s.size()))) != AnsiUpperCase(s)) return false;
        position_ += Integer(s.size());
        return true;
    }

    // Up to four digits (fewer once the value reaches 1000), or a short month name.
    bool ReadNumber(Integer& value)
    {
        SkipBlanks();
        value = 0;
        Integer digits = 0;
        while (!AtEnd() && std::isdigit(Byte(At(position_))) && value < 1000) {
            value = value * 10 + (At(position_) - '0');
            ++position_;
            ++digits;
        }
        return digits > 0 || ReadMonthName(value);
    }

    bool ReadDate(TDateTime& date)
    {
        Integer n1, n2, n3;
        if (!ReadNumber(n1) || !ReadChar(DateSeparator) || !ReadNumber(n2)) return false;
        Integer year, month, day;
        const Integer order = vxGetDateOrder(ShortDateFormat);
        if (ReadChar(DateSeparator)) {
            if (!ReadNumber(n3)) return false;
            if (order == 0) {
                month = n1, day = n2, year = n3;
            } else if (order == 1) {
                day = n1, month = n2, year = n3;
            } else {
                year = n1, month = n2, day = n3;
            }
            if (year < 100) year += year > 50 ? 1900 : 2000;
        } else {
            year = CurrentYear();
            if (order == 1) {
                day = n1, month = n2;
            } else {
                month = n1, day = n2;
            }
        }
        SkipBlanks();
        return EncodeSerialDate(year, month, day, date);
    }

    bool ReadTime(TDateTime& time)
    {
        Integer hour, minute, second = 0;
        if (!ReadNumber(hour) || !ReadChar(TimeSeparator) || !ReadNumber(minute)) return false;
        if (ReadChar(TimeSeparator) && !ReadNumber(second)) return false;
        const bool am = ReadString(TimeAMString) || ReadString("AM");
        const bool pm = !am && (ReadString(TimePMString) || ReadString("PM"));
        if (am || pm) {
            if (hour < 1 || hour > 12) return false;
            if (hour == 12) hour = 0;
            if (pm) hour += 12;
        }
        SkipBlanks();
        if (hour > 23 || minute > 59 || second > 59) return false;
        time = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0) / 86400000.0;
        return true;
    }

private:
    char At(Integer position) const { return text_[size_t(position - 1)]; }

    bool ReadMonthName(Integer& month)
    {
        const std::string word = AnsiUpperCase(Copy(text_, position_, 3));
        for (Integer m = 1; m <= 12; ++m) {
            if (word == AnsiUpperCase(ShortMonthNames[m])) {
                month = m;
                position_ += 3;
                return true;
            }
        }
        return false;
    }

    static bool EncodeSerialDate(Integer year, Integer month, Integer day, TDateTime& date)
    {
        static const Integer monthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                                 {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
        if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        if (day < 1 || day > monthDays[leap][month - 1]) return false;
        Integer dayOfYear = day;
        for (Integer m = 1; m < month; ++m) dayOfYear += monthDays[leap][m - 1];
        const Integer y = year - 1;
        date = y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - 693594;
        return true;
    }

    const std::string& text_;
    Integer position_ = 1;
};

}  // namespace

bool vxIsDateText(const std::string& text)
{
    TDateTimeReader reader(text);
    TDateTime date;
    return reader.ReadDate(date) && reader.AtEnd();
}

bool vxIsTimeText(const std::string& text)
{
    TDateTimeReader reader(text);
    TDateTime time;
    return reader.ReadTime(time) && reader.AtEnd();
}

namespace {

bool ReadDateTime(const std::string& text, TDateTime& value)
{
    TDateTimeReader reader(text);
    TDateTime date, time;
    if (!reader.ReadDate(date) || !reader.ReadTime(time) || !reader.AtEnd()) return false;
    value = date + time;
    return true;
}

}  // namespace

bool vxIsDateTimeText(const std::string& text)
{
    TDateTime value;
    return ReadDateTime(text, value);
}

TDateTime vxTextToDateTime(const std::string& text)
{
    TDateTime value = 0;
    return ReadDateTime(text, value) ? value : 0;
}

TDateTime vxTextToDate(const std::string& text)
{
    TDateTimeReader reader(text);
    TDateTime date;
    return reader.ReadDate(date) ? date : 0;
}

TDateTime vxTextToTime(const std::string& text)
{
    TDateTimeReader reader(text);
    TDateTime time;
    return reader.ReadTime(time) && reader.AtEnd() ? time : 0;
}

bool vxIsIntegerText(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const bool leadingMinus = i == 0 && text[i] == '-' && text.size() > 1;
        if (!leadingMinus && !std::isdigit(Byte(text[i]))) return false;
    }
    return true;
}

bool vxIsFloatText(const std::string& text)
{
    double value;
    return text.empty() || TextToFloat(text.substr(0, 63), value);
}

namespace {

// The number of separators before the caret, counted from position.
Integer CountSeparatorsBefore(Integer caret, const std::string& text, char separator, Integer& position,
                              bool stepPastSeparator, Integer* secondSeparator)
{
    Integer count = 0;
    std::string piece;
    for (;;) {
        vxNextToken(text, std::string(1, separator), position, piece);
        if (piece.empty() || position == -1 || caret < position - 1) return count;
        if (count == 1 && secondSeparator) *secondSeparator = position - 1;
        if (stepPastSeparator) ++position;
        ++count;
    }
}

TvxDateTimePart TimePartFrom(Integer caret, const std::string& text, Integer position)
{
    Integer secondSeparator = 100;
    const Integer count = CountSeparatorsBefore(caret, text, TimeSeparator, position, true, &secondSeparator);
    if (count == 0) return dtpHour;
    if (count == 1) return dtpMinute;
    if (count == 2 && caret > secondSeparator + 2) return dtpAmPm;
    return dtpSecond;
}

TvxDateTimePart DatePartAt(Integer caret, const std::string& text)
{
    Integer position = 1;
    const Integer count = CountSeparatorsBefore(caret, text, DateSeparator, position, false, nullptr);
    if (count > 2) return dtpDay;
    static const TvxDateTimePart parts[3][3] = {{dtpMonth, dtpDay, dtpYear},
                                                {dtpDay, dtpMonth, dtpYear},
                                                {dtpYear, dtpMonth, dtpDay}};
    return parts[vxGetDateOrder(ShortDateFormat)][count];
}

}  // namespace

TvxDateTimePart vxGetDateTimePartAt(Integer caret, const std::string& text, bool timeOnly)
{
    if (timeOnly) return TimePartFrom(caret, text, 1);
    TDateTimeReader reader(text);
    TDateTime date;
    if (reader.ReadDate(date)) {
        const Integer p = reader.Position();
        const bool blankBeforeTime = caret + 1 == p && caret >= 1 && caret <= Integer(text.size()) &&
                                     text[size_t(caret - 1)] == ' ';
        if (caret >= p || blankBeforeTime) return TimePartFrom(caret, text, p);
    }
    return DatePartAt(caret, text);
}

TvxDateTimePart vxGetTimePartAt(Integer caret, const std::string& text)
{
    if (caret <= 0) return dtpHour;
    return TimePartFrom(caret, text, 1);
}

bool vxIsNumericFieldType(TFieldType fieldType)
{
    switch (fieldType) {
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftAutoInc: return true;
    default: return false;
    }
}

bool vxIsValidTypeText(TFieldType fieldType, const std::string& text)
{
    switch (fieldType) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: return vxIsIntegerText(text);
    case ftFloat: case ftCurrency: case ftBCD: return vxIsFloatText(text);
    case ftDate: return vxIsDateText(text);
    case ftTime: return vxIsTimeText(text);
    case ftDateTime: return vxIsDateTimeText(text) || vxIsDateText(text);
    default: return true;
    }
}

bool vxIsValidFieldText(const TField* field, const std::string& text)
{
    return vxIsValidTypeText(field->DataType(), text);
}

bool vxIsValidFieldInput(const TField* field, const std::string& text)
{
    if (!field) return false;
    if (text.empty() && (vxIsNumericFieldType(field->DataType()) || field->DataType() == ftBCD ||
                         field->DataType() == ftDate || field->DataType() == ftTime ||
                         field->DataType() == ftDateTime))
        return false;
    return vxIsValidFieldText(field, text);
}
