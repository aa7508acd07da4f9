// The tracking program's data module on a fixture data directory with a fixed "today" (30 June 2026, 18:00) and
// case records; host dates are counted back from today.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "DataModuleFixture.h"
#include "rtl/Clock.h"
#include "rtl/SysUtils.h"
#include "tools/mkdemo/HostRecord.h"

inline TDateTime TrackingToday() { return EncodeDate(2026, 6, 30); }

// The host date (YYMMDD, YY = year - 1980) of the day n days before today (after it for negative n).
inline std::string DaysAgo(Integer days)
{
    Word year = 0, month = 0, day = 0;
    DecodeDate(TrackingToday() - days, year, month, day);
    return Format("%.2d%.2d%.2d", {Integer(year - 1980), Integer(month), Integer(day)});
}

struct TCaseTotalsRow {
    std::string Client, Case;
    std::vector<std::pair<std::string, double>> Totals = {};  // case-to-date fields by name
};

inline void AddCaseRows(THostDataDir& dir, const std::vector<TCaseTotalsRow>& rows)
{
    AddRows(dir, "ycase.qf", rows, [](THostRecord& record, const TCaseTotalsRow& row) {
        record.Set("Client Code", row.Client).Set("Case Suffix", Suffix(row.Case)).Set("LeftJustCaseSuffix", row.Case);
        for (const auto& [field, value] : row.Totals) record.SetDecimal(field, value);
    });
}

class TrackingTest : public DataModuleTest {
protected:
    void SetUp() override
    {
        SetClock([] { return TrackingToday() + 0.75; });
        ShortDateFormat = "M/d/yyyy";
        DateSeparator = '/';
        DataModuleTest::SetUp();
    }
    void TearDown() override
    {
        DataModuleTest::TearDown();
        GetFormatSettings();
        ResetClock();
    }
};
