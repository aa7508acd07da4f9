// TDateTime to text with the platform's format letters and the global format settings.
#pragma once

#include <string>

#include "rtl/Types.h"

// An empty format means "c": the short date, and the long time when the value has a time of day.
std::string FormatDateTime(const std::string& format, TDateTime dateTime);
void DateTimeToString(std::string& result, const std::string& format, TDateTime dateTime);
std::string DateToStr(TDateTime date);
std::string TimeToStr(TDateTime time);
std::string DateTimeToStr(TDateTime dateTime);
