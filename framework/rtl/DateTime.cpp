#include "rtl/DateTime.h"

#include <algorithm>
#include <cmath>

#include "rtl/Exceptions.h"
#include "rtl/WinApi.h"

namespace {

constexpr Word DaysBeforeMonth(bool leap, Word month)
{
    constexpr Word table[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    return table[month - 1] + (leap && month > 2 ? 1 : 0);
}

// Days since 1 Jan 0001 (day 1) of the given date.
Integer DayNumber(Word year, Word month, Word day)
{
    Integer y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400 + DaysBeforeMonth(IsLeapYear(year), month) + day;
}

}  // namespace

TTimeStamp DateTimeToTimeStamp(TDateTime dateTime)
{
    const Int64 msecs = std::llrint(dateTime * MSecsPerDay);
    TTimeStamp result;
    result.Date = Integer(msecs / MSecsPerDay) + DateDelta;
    result.Time = Integer(std::llabs(msecs) % MSecsPerDay);
    return result;
}

TDateTime TimeStampToDateTime(const TTimeStamp& timeStamp)
{
    const double days = timeStamp.Date - DateDelta;
    const double fraction = double(timeStamp.Time) / MSecsPerDay;
    return days < 0 ? days - fraction : days + fraction;
}

double TimeStampToMSecs(const TTimeStamp& timeStamp)
{
    return double(timeStamp.Date) * MSecsPerDay + timeStamp.Time;
}

TTimeStamp MSecsToTimeStamp(double msecs)
{
    TTimeStamp result;
    result.Date = Integer(std::trunc(msecs / MSecsPerDay));
    result.Time = Integer(msecs - double(result.Date) * MSecsPerDay);
    return result;
}

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInMonth(Word year, Word month)
{
    return month == 12 ? 31 : DaysBeforeMonth(IsLeapYear(year), month + 1) - DaysBeforeMonth(IsLeapYear(year), month);
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    date = DayNumber(year, month, day) - DateDelta;
    return true;
}

TDateTime EncodeDate(Word year, Word month, Word day)
{
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date)) throw EConvertError("Invalid argument to date encode");
    return date;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time)
{
    if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
    time = double(((hour * 60 + min) * 60 + sec) * 1000 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec)
{
    TDateTime time = 0;
    if (!TryEncodeTime(hour, min, sec, msec, time)) throw EConvertError("Invalid argument to time encode");
    return time;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day)
{
    Integer days = DateTimeToTimeStamp(date).Date;
    if (days <= 0) {
        year = month = day = 0;
        return;
    }
    // Whole 400-, 100-, 4- and 1-year periods before the day.
    Integer d = days - 1;
    Integer y = 1 + 400 * (d / 146097);
    d %= 146097;
    Integer centuries = d / 36524 == 4 ? 3 : d / 36524;
    y += 100 * centuries;
    d -= centuries * 36524;
    y += 4 * (d / 1461);
    d %= 1461;
    Integer years = d / 365 == 4 ? 3 : d / 365;
    y += years;
    d -= years * 365;
    year = Word(y);
    const bool leap = IsLeapYear(year);
    month = 1;
    while (month < 12 && d >= DaysBeforeMonth(leap, month + 1)) ++month;
    day = Word(d - DaysBeforeMonth(leap, month) + 1);
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec)
{
    Integer ms = DateTimeToTimeStamp(time).Time;
    hour = Word(ms / 3600000);
    min = Word(ms / 60000 % 60);
    sec = Word(ms / 1000 % 60);
    msec = Word(ms % 1000);
}

Word DayOfWeek(TDateTime date) { return Word(DateTimeToTimeStamp(date).Date % 7 + 1); }

TDateTime IncMonth(TDateTime date, Integer numberOfMonths)
{
    Word year, month, day;
    DecodeDate(date, year, month, day);
    Integer months = Integer(year) * 12 + (month - 1) + numberOfMonths;
    Word newYear = Word(months / 12);
    Word newMonth = Word(months % 12 + 1);
    Word newDay = std::min(day, DaysInMonth(newYear, newMonth));
    TDateTime result = EncodeDate(newYear, newMonth, newDay);
    // Keep the time of day.
    double fraction = std::fabs(date - std::trunc(date));
    return result < 0 ? result - fraction : result + fraction;
}

void DateTimeToSystemTime(TDateTime dateTime, _SYSTEMTIME& systemTime)
{
    DecodeDate(dateTime, systemTime.wYear, systemTime.wMonth, systemTime.wDay);
    DecodeTime(dateTime, systemTime.wHour, systemTime.wMinute, systemTime.wSecond, systemTime.wMilliseconds);
    systemTime.wDayOfWeek = DayOfWeek(dateTime) - 1;
}

TDateTime SystemTimeToDateTime(const _SYSTEMTIME& systemTime)
{
    TDateTime date = EncodeDate(systemTime.wYear, systemTime.wMonth, systemTime.wDay);
    TDateTime time = EncodeTime(systemTime.wHour, systemTime.wMinute, systemTime.wSecond, systemTime.wMilliseconds);
    return date < 0 ? date - time : date + time;
}
