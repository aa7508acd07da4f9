// Btrieve dates, times and time stamps to and from the engine's logical forms.
#pragma once

#include "rtl/Types.h"

namespace BtrDateTime {

// Bytes day, month, 16-bit year to a day number (1 = 1 Jan 0001). A zero day, month or year gives 0; any other
// impossible date raises the date encoding's EConvertError.
Integer ReadDate(const Byte* source);
// Day number 0 writes zeros; false for a negative day number or a year beyond 9999.
bool WriteDate(Byte* destination, Integer dayNumber);

// Bytes hundredths, seconds, minutes, hours to milliseconds since midnight; an invalid time gives 0.
Integer ReadTime(const Byte* source);
// False for milliseconds outside one day.
bool WriteTime(Byte* destination, Integer msecs);

// 8-byte count of 100-nanosecond units since 1 Jan 0001, universal time, to local milliseconds (day 1 = 1 Jan 0001).
double ReadTimeStamp(const Byte* source, Integer offsetMinutes);
bool WriteTimeStamp(Byte* destination, double msecs, Integer offsetMinutes);

// 8-byte platform date-time to and from milliseconds (day 1 = 1 Jan 0001).
bool ReadDateTime(const Byte* source, double& msecs);
bool WriteDateTime(Byte* destination, double msecs);

}  // namespace BtrDateTime
