// Host file dates: six digits YYMMDD with YY = year - 1980 (1980 to 2079), and their display texts.
#pragma once

#include <string>

#include "rtl/Types.h"

// Set by every conversion that fell back to its fixed date; cleared by one that produced a real result.
extern bool HostDateError;

constexpr TDateTime FallbackDate = 29587.0;  // 1 January 1981
extern const std::string FallbackHostDate;     // "010101"
extern const std::string FallbackDisplayDate;  // "01/01/81"

// Unless quiet, a failure shows an error box before the fallback is returned.
std::string DateToHostDate(bool quiet, TDateTime date);
TDateTime HostDateToDate(const std::string& hostDate, bool quiet);
// Day or month first as the short date format begins with "D" or "M"; four-digit year.
std::string HostDateToDisplayDate(const std::string& hostDate, bool quiet);
// Day first when the short date format begins with "D", else month first; two-digit year.
std::string HostDateToShortDisplayDate(const std::string& hostDate, bool quiet);
