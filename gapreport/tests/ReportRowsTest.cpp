// The report's rows by period kind, the hours matrix, the parameters in the command line's columns and the run's
// time of day.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MatrixCells.h"
#include "gapreport/HoursMatrix.h"
#include "gapreport/MissingTimeu.h"
#include "gapreport/ReportRows.h"
#include "rtl/DateTime.h"

namespace {

using Keys = std::vector<std::string>;

TDateTime Day(Word year, Word month, Word day)
{
    return EncodeDate(year, month, day);
}

struct TRowCase {
    const char* Kind;
    TDateTime Start;
    TDateTime End;
    int Count;
    Keys Keys;
};

TEST(ReportRows, EveryKindGivesItsRowsAcrossMonthAndYearEnds)
{
    const TRowCase cases[] = {
        {"D", Day(2024, 1, 28), Day(2024, 2, 3), 7, {}},
        {"D", Day(2024, 2, 28), Day(2024, 3, 1), 3, {}},
        {"D", Day(2023, 12, 31), Day(2024, 1, 1), 2, {}},
        {"D", Day(2024, 5, 5), Day(2024, 5, 5), 1, {}},
        {"M", Day(2023, 11, 15), Day(2024, 2, 2), 4, {"4311", "4312", "4401", "4402"}},
        {"M", Day(2024, 3, 31), Day(2024, 3, 1), 1, {"4403"}},
        {"Q", Day(2024, 2, 15), Day(2024, 8, 2), 3, {"4401 4402 4403", "4404 4405 4406", "4407 4408 4409"}},
        {"Q", Day(2023, 11, 1), Day(2024, 1, 31), 2, {"4310 4311 4312", "4401 4402 4403"}},
        {"Y", Day(1999, 6, 1), Day(2001, 1, 1), 3, {"19", "20", "21"}},
        {"Y", Day(2024, 1, 1), Day(2024, 12, 31), 1, {"44"}},
        {"X", Day(2024, 1, 1), Day(2024, 12, 31), 0, {}},
        {"d", Day(2024, 1, 1), Day(2024, 12, 31), 0, {}},
        {"", Day(2024, 1, 1), Day(2024, 12, 31), 0, {}},
        {"D", Day(2024, 2, 3), Day(2024, 1, 28), 0, {}},
        {"M", Day(2024, 4, 1), Day(2024, 2, 29), 0, {}},
    };
    for (const TRowCase& c : cases) {
        const TReportRows rows(PeriodKindOf(c.Kind), c.Start, c.End);
        EXPECT_EQ(rows.Count(), c.Count) << c.Kind << " from " << c.Start;
        EXPECT_EQ(rows.Keys(), c.Keys) << c.Kind << " from " << c.Start;
    }
}

TEST(ReportRows, AHostDateFindsItsRowOrNone)
{
    const TReportRows days(TPeriodKind::Day, Day(2024, 1, 28), Day(2024, 2, 3));
    const TReportRows months(TPeriodKind::Month, Day(2023, 11, 15), Day(2024, 2, 2));
    const TReportRows quarters(TPeriodKind::Quarter, Day(2024, 2, 15), Day(2024, 8, 2));
    const TReportRows years(TPeriodKind::Year, Day(2019, 6, 1), Day(2021, 1, 1));
    const TReportRows unknown(TPeriodKind::Unknown, Day(2024, 1, 28), Day(2024, 2, 3));
    const struct {
        const TReportRows& Rows;
        const char* HostDate;
        int Row;
    } cases[] = {
        {days, "440128", 0},     {days, "440203", 6},     {days, "440201", 4},   {days, "440127", -1},
        {days, "440204", -1},    {days, "4401AB", -1},    {days, "441301", -1},  {days, "", -1},
        {months, "431101", 0},   {months, "440229", 3},   {months, "440115", 2}, {months, "440301", -1},
        {quarters, "440101", 0}, {quarters, "440630", 1}, {quarters, "440815", 2}, {quarters, "441001", -1},
        {quarters, "4413", -1},  {quarters, "44", -1},    {years, "410228", 2},  {years, "420101", -1},
        {unknown, "440128", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.Rows.RowOf(c.HostDate), c.Row) << c.HostDate;
}

TEST(HoursMatrix, ColumnsInOrderOfFirstTimeWithTotalsAndTheTotalColumn)
{
    THoursMatrix hours(3);
    hours.AddHours("MKL", 1, 2.0);
    hours.AddHours("JRS", 0, 1.5);
    hours.AddHours("MKL", 1, 0.5);
    hours.AddHours("JRS", 2, 3.0);
    hours.AddHours("ABW", 0, 0.25);
    hours.AddHours("ABW", -1, 4.0);  // a date in no row: the totals only
    hours.FillTotalColumn();

    EXPECT_EQ(hours.ColumnNames(), Keys({"MKL", "JRS", "ABW"}));
    EXPECT_EQ(hours.ColumnOf("JRS"), 2);
    EXPECT_EQ(hours.ColumnOf("SAH"), 0);
    EXPECT_EQ(CellsOf(hours), TCells({{0, 2.5, 0}, {1.5, 0, 3.0}, {0.25, 0, 0}, {1.75, 2.5, 3.0}}));
    EXPECT_DOUBLE_EQ(hours.TimekeeperTotal(1), 2.5);
    EXPECT_DOUBLE_EQ(hours.TimekeeperTotal(2), 4.5);
    EXPECT_DOUBLE_EQ(hours.TimekeeperTotal(3), 4.25);
    EXPECT_DOUBLE_EQ(hours.GrandTotal(), 11.25);
    EXPECT_DOUBLE_EQ(hours.Cell(5, 0), 0);
    EXPECT_DOUBLE_EQ(hours.Cell(1, 3), 0);
}

TEST(HoursMatrix, GrowsPastAYearOfDaysAndThreeHundredTimekeepers)
{
    constexpr int Rows = 400;
    constexpr int Timekeepers = 350;
    THoursMatrix hours(Rows);
    for (int t = 0; t < Timekeepers; ++t) {
        hours.AddHours("T" + std::to_string(t), Rows - 1, 1.0);
        hours.AddHours("T" + std::to_string(t), 0, 0.5);
    }
    hours.FillTotalColumn();
    EXPECT_EQ(hours.TimekeeperCount(), Timekeepers);
    EXPECT_DOUBLE_EQ(hours.Cell(Timekeepers, Rows - 1), 1.0);
    EXPECT_DOUBLE_EQ(hours.Cell(Timekeepers + 1, Rows - 1), Timekeepers);
    EXPECT_DOUBLE_EQ(hours.Cell(Timekeepers + 1, 0), Timekeepers * 0.5);
    EXPECT_DOUBLE_EQ(hours.GrandTotal(), Timekeepers * 1.5);
}

// A command-line record: blanks with the texts at their columns (1-based).
std::string RecordText(std::initializer_list<std::pair<int, std::string>> texts, size_t length = 258)
{
    std::string text(length, ' ');
    for (const auto& [column, value] : texts) text.replace(size_t(column - 1), value.size(), value);
    return text;
}

TEST(CommandLineParameters, FixedColumnsGiveTheParameters)
{
    const TReportParameters screen = ParametersFromRecordText(RecordText({{4, "000"},
                                                                          {39, "RPT00123"},
                                                                          {81, "NONE (PRINTING TO SCREEN)"},
                                                                          {123, "R"},
                                                                          {124, " 55"},
                                                                          {127, "Y"},
                                                                          {129, "CD"},
                                                                          {177, "440128"},
                                                                          {183, "440203"},
                                                                          {201, "Q"}}));
    EXPECT_EQ(screen.OutputSelector, "000");
    EXPECT_EQ(screen.FileNameS, "NONE (PRINTING TO SCREEN)");
    EXPECT_EQ(screen.FileName.substr(0, 8), "RPT00123");
    EXPECT_EQ(screen.PrinterName, "");
    EXPECT_EQ(screen.PrintSize, "R");
    EXPECT_EQ(screen.PageLength, 55);
    EXPECT_TRUE(screen.Production);
    EXPECT_EQ(screen.Timekeeper, "CD  ");
    EXPECT_EQ(screen.StartDate, "440128");
    EXPECT_EQ(screen.EndDate, "440203");
    EXPECT_EQ(screen.PeriodKind, "Q");

    const TReportParameters printer =
            ParametersFromRecordText(RecordText({{4, "255"}, {39, "Laser on LPT1"}, {81, "C:\\OUT.TXT"}, {193, "M"}}));
    EXPECT_EQ(printer.PrinterName, "Laser on LPT1                             C:\\OUT.TXT");
    EXPECT_EQ(printer.FileNameS, "");
    EXPECT_EQ(printer.PageLength, 66);
    EXPECT_FALSE(printer.Production);
    EXPECT_EQ(printer.PeriodKind, "M");

    const TReportParameters file = ParametersFromRecordText(RecordText({{4, "001"}, {39, "X"}, {81, "C:\\OUT.TXT"}}));
    EXPECT_EQ(file.FileNameS, "C:\\OUT.TXT");
    EXPECT_EQ(file.FileName, "");
    EXPECT_EQ(file.PrinterName, "");

    const TReportParameters shortText = ParametersFromRecordText(RecordText({{4, "000"}, {177, "4401"}}, 180));
    EXPECT_EQ(shortText.StartDate, "4401");
    EXPECT_EQ(shortText.EndDate, "");
    EXPECT_EQ(shortText.PeriodKind, "");
}

TEST(RunTime, HoursOfTheAfternoonCountFromOne)
{
    const struct {
        Word Hour;
        Word Minute;
        const char* Text;
    } cases[] = {{0, 5, "0:05 AM"},   {9, 30, "9:30 AM"},  {11, 59, "11:59 AM"},
                 {12, 0, "12:00 PM"}, {13, 7, "1:07 PM"}, {23, 10, "11:10 PM"}};
    for (const auto& c : cases) EXPECT_EQ(FormatRunTime(EncodeTime(c.Hour, c.Minute, 0, 0)), c.Text);
}

}  // namespace
