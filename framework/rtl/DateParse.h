// Text to TDateTime following the global settings: the order of ShortDateFormat, DateSeparator, TimeSeparator,
// the AM/PM strings and TwoDigitYearCenturyWindow. Failures raise EConvertError with the platform's texts.
#pragma once

#include <string>

#include "rtl/Types.h"

TDateTime StrToDate(const std::string& s);
TDateTime StrToTime(const std::string& s);
TDateTime StrToDateTime(const std::string& s);
bool TryStrToDate(const std::string& s, TDateTime& value);
bool TryStrToTime(const std::string& s, TDateTime& value);
bool TryStrToDateTime(const std::string& s, TDateTime& value);
