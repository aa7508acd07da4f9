// The note viewer's host dates: six characters YYMMDD (YY = year - 1980) read as dates and shown with a two-digit
// year, in the order and with the separator of the platform's short date format.
#pragma once

#include <string>

#include "rtl/Types.h"

namespace dunlist {

// Set when a conversion starts, cleared when it produces a real result.
extern bool HostDateError;

constexpr TDateTime FallbackDate = 29221.0;  // 1 January 1980

// The date, or FallbackDate with HostDateError set. Unless quiet, an unusable host date shows a message.
TDateTime HostDateToDate(const std::string& hostDate, bool quiet);
// Writes the display text to output; on failure shows a message and leaves output as it was.
void HostDateToShortDisplayDate(const std::string& hostDate, std::string& output);

}  // namespace dunlist
