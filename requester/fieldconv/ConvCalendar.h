// Date and time helpers of the field-conversion DLL: the intermediate value is a platform date-time.
#pragma once

#include <cstdint>

#include "requester/fieldconv/FieldConvApi.h"

namespace FieldConv {

struct TCalendarDate {
    int32_t Year = 0;
    int32_t Month = 0;
    int32_t Day = 0;
};

// False for an impossible date or a year outside 1..9999.
bool DateToIntermediate(const TCalendarDate& date, Intermediate& value);
// False when the value lies outside years 1..9999 or is not a number.
bool IntermediateToDate(Intermediate value, TCalendarDate& date);

// Time of day as a count of units (100 for hundredths, 1 for seconds) since midnight, rounded down.
bool TimeUnitsToIntermediate(int64_t units, int32_t unitsPerSecond, Intermediate& value);
bool IntermediateToTimeUnits(Intermediate value, int32_t unitsPerSecond, int64_t& units);

}  // namespace FieldConv
