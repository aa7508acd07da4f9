#include "DunlistFixture.h"

#include "rtl/SysUtils.h"
#include "tools/mkdemo/HostRecord.h"

void AddCases(THostDataDir& dir, const std::string& file, const std::vector<TCaseRow>& rows)
{
    AddRows(dir, file, rows, [](THostRecord& record, const TCaseRow& row) {
        record.Set("Client Code", row.Client).Set("Case Suffix", Suffix(row.Case));
        record.Set("LeftJustCaseSuffix", row.Case).Set("Alternate ID", row.AlternateID);
        for (const auto& [field, value] : row.Totals) record.SetDecimal(field, value);
    });
}

TDateTime FixtureToday() { return EncodeDate(2026, 6, 30); }

std::string HostDateDaysAgo(Integer days)
{
    Word year = 0, month = 0, day = 0;
    DecodeDate(FixtureToday() - days, year, month, day);
    return Format("%.2d%.2d%.2d", {Integer(year - 1980), Integer(month), Integer(day)});
}

void DunlistModuleTest::SetUp()
{
    SetClock([] { return FixtureToday() + 0.75; });  // 18:00, so that only the date counts
    ShortDateFormat = "M/d/yy";
    DateSeparator = '/';
    HostModuleTest::SetUp();
}

void DunlistModuleTest::TearDown()
{
    HostModuleTest::TearDown();
    GetFormatSettings();
    TwoDigitYearCenturyWindow = 50;
    ResetClock();
}
