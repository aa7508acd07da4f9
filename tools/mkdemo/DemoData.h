// The demo data directory: every host file the programs open, with clients active and inactive, cases with
// right-justified suffixes and alternate identifiers, current and history fees of several timekeepers across months,
// bills aged into every bucket with payments and retainers, notes with and without markers, code tables, the
// system options and a report-data file. Dates count back from the day given.
#pragma once

#include <string>

#include "rtl/Types.h"

class THostDataDir;

// The report-data file of the demo (a missing-time report request).
constexpr const char* DemoReportDataFile = "RD000001.00";

// Makes (or remakes) every file of the data directory.
void MakeDemoData(THostDataDir& dir, TDateTime today);

// The files the programs expect beside them: the empty client template copied when the client-save file is missing,
// and the description with which a missing case-save file is created.
void MakeProgramDirectoryFiles(THostDataDir& programDir);
