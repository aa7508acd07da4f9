// The forms in which field values travel between a dataset's record buffer and its fields (GetData / SetData):
// a date is a 32-bit day number (1 January of year 1 = day 1), a time a 32-bit count of milliseconds since midnight,
// a date-time an 8-byte double of milliseconds (day number x 86,400,000 + time), a Boolean a 16-bit 0 / 0xFFFF.
#pragma once

#include "rtl/DateTime.h"
#include "rtl/Types.h"

Integer DateTimeToNativeDate(TDateTime value);
Integer DateTimeToNativeTime(TDateTime value);
double DateTimeToNativeDateTime(TDateTime value);
TDateTime NativeDateToDateTime(Integer days);
TDateTime NativeTimeToDateTime(Integer msecs);
TDateTime NativeDateTimeToDateTime(double msecs);
