// TDateTime arithmetic: days since 30 Dec 1899, the fraction is the time of day. Before that day the value is
// negative while its fraction still counts forward: -1.25 is 29 Dec 1899, 06:00.
#pragma once

#include "rtl/Types.h"

struct _SYSTEMTIME;

constexpr Integer HoursPerDay = 24;
constexpr Integer MinsPerDay = 24 * 60;
constexpr Integer SecsPerDay = MinsPerDay * 60;
constexpr Integer MSecsPerDay = SecsPerDay * 1000;
// Days from 1 Jan 0001 to 30 Dec 1899.
constexpr Integer DateDelta = 693594;

// Time: milliseconds since midnight; Date: days since 1 Jan 0001 plus one.
struct TTimeStamp {
    Integer Time = 0;
    Integer Date = 0;
};

TTimeStamp DateTimeToTimeStamp(TDateTime dateTime);
TDateTime TimeStampToDateTime(const TTimeStamp& timeStamp);
double TimeStampToMSecs(const TTimeStamp& timeStamp);
TTimeStamp MSecsToTimeStamp(double msecs);

bool IsLeapYear(Word year);
Word DaysInMonth(Word year, Word month);

// EncodeDate and EncodeTime raise EConvertError on values out of range.
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);

// 1 = Sunday .. 7 = Saturday.
Word DayOfWeek(TDateTime date);
TDateTime IncMonth(TDateTime date, Integer numberOfMonths = 1);

void DateTimeToSystemTime(TDateTime dateTime, _SYSTEMTIME& systemTime);
TDateTime SystemTimeToDateTime(const _SYSTEMTIME& systemTime);
