// The note viewer's data module on a fixture data directory, with case rows, a fixed "today" and host dates
// counted back from it.
#pragma once

#include <string>
#include <vector>

#include "dunlist/OVWDatModU.h"
#include "hostdata/tests/HostModuleFixture.h"

struct TCaseRow {
    std::string Client, Case, AlternateID;
    // Case-to-date fields of the case record, by field name.
    std::vector<std::pair<std::string, double>> Totals = {};
};

void AddCases(THostDataDir& dir, const std::string& file, const std::vector<TCaseRow>& rows);

// Today in every test of the note viewer's module: 30 June 2026.
TDateTime FixtureToday();
// The host date (YYMMDD, YY = year - 1980) of the day n days before FixtureToday (after it for negative n).
std::string HostDateDaysAgo(Integer days);

class DunlistModuleTest : public HostModuleTest {
protected:
    void SetUp() override;
    void TearDown() override;
    THostDataModule* CreateModule() override { return dm_ = CreateObject<TDataModule1>(nullptr); }

    TDataModule1* dm_ = nullptr;
};
