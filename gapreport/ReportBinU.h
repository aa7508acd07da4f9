// The host's date-format letter from the system-options file, for the report's day rows.
#pragma once

#include <string>

// "D" for day-first dates, "M" for month-first; read once per run.
extern std::string SysopDateFormat;

// Reads the letter (byte 23 of the first record of Sysop.qc in the data directory); the layer's failures reach
// the caller.
void ReadSysopDateFormat();
