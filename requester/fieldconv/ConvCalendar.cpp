#include "requester/fieldconv/ConvCalendar.h"

#include <cmath>

#include "rtl/DateTime.h"

namespace FieldConv {

bool DateToIntermediate(const TCalendarDate& date, Intermediate& value)
{
    if (date.Year < 1 || date.Year > 9999 || date.Month < 1 || date.Month > 12 || date.Day < 1) return false;
    TDateTime encoded = 0;
    if (!TryEncodeDate(Word(date.Year), Word(date.Month), Word(date.Day), encoded)) return false;
    value = encoded;
    return true;
}

bool IntermediateToDate(Intermediate value, TCalendarDate& date)
{
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0) return false;
    Word year = 0, month = 0, day = 0;
    DecodeDate(value, year, month, day);
    date = {year, month, day};
    return true;
}

bool TimeUnitsToIntermediate(int64_t units, int32_t unitsPerSecond, Intermediate& value)
{
    const int64_t perDay = int64_t(SecsPerDay) * unitsPerSecond;
    if (units < 0 || units >= perDay) return false;
    value = double(units) / double(perDay);
    return true;
}

bool IntermediateToTimeUnits(Intermediate value, int32_t unitsPerSecond, int64_t& units)
{
    if (!std::isfinite(value)) return false;
    const double fraction = std::fabs(value - std::trunc(value));
    const int64_t msecs = std::llround(fraction * MSecsPerDay);
    if (msecs >= MSecsPerDay) return false;
    units = msecs * unitsPerSecond / 1000;
    return true;
}

}  // namespace FieldConv
