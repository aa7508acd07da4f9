// The note viewer's host dates under several short date formats and separators.
#include <gtest/gtest.h>

#include "dunlist/DateFmtu.h"
#include "rtl/SysUtils.h"
#include "vcl/TestHelpers.h"

namespace {

const std::string Suffix = "\r\rPlease call KDV, Inc. for assistance.";

struct TLocale {
    std::string Format;
    char Separator;
};

class NoteViewerDates : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetClock([] { return EncodeDate(2026, 6, 30); });
        Use({"M/d/yy", '/'});
    }
    void TearDown() override
    {
        GetFormatSettings();
        TwoDigitYearCenturyWindow = 50;
        ResetClock();
    }
    static void Use(const TLocale& locale)
    {
        ShortDateFormat = locale.Format;
        DateSeparator = locale.Separator;
    }
    std::vector<std::string> ShownTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : dialogs_.Shown) texts.push_back(box.Text);
        return texts;
    }

    TScriptedDialogs dialogs_;
};

TEST_F(NoteViewerDates, ConvertInTheOrderAndWithTheSeparatorOfTheLocale)
{
    const struct {
        TLocale Locale;
        std::string HostDate, Display;
        Word Year, Month, Day;
    } cases[] = {
        {{"M/d/yy", '/'}, "010203", "02/03/81", 1981, 2, 3},
        {{"dd.MM.yyyy", '.'}, "010203", "03.02.81", 1981, 2, 3},
        {{"yyyy-MM-dd", '-'}, "010203", "81-02-03", 1981, 2, 3},
        {{"m/d/yyyy", '/'}, "450101", "01/01/25", 2025, 1, 1},  // the letter is upper-cased
        {{"d/M/yy", '/'}, "191231", "31/12/99", 1999, 12, 31},
        {{"M/d/yy", '/'}, "200101", "01/01/00", 2000, 1, 1},
        {{"M/d/yy", '/'}, "000101", "01/01/80", 1980, 1, 1},
        {{"M/d/yy", '/'}, "991231", "12/31/79", 2079, 12, 31},
    };
    for (const auto& c : cases) {
        Use(c.Locale);
        std::string display = "unchanged";
        dunlist::HostDateToShortDisplayDate(c.HostDate, display);
        EXPECT_EQ(display, c.Display) << c.HostDate << " " << c.Locale.Format;
        EXPECT_FALSE(dunlist::HostDateError);
        EXPECT_EQ(dunlist::HostDateToDate(c.HostDate, false), EncodeDate(c.Year, c.Month, c.Day))
                << c.HostDate << " " << c.Locale.Format;
        EXPECT_FALSE(dunlist::HostDateError);
    }
    EXPECT_TRUE(dialogs_.Shown.empty());
}

TEST_F(NoteViewerDates, UnusableDatesFallBackWithTheFlagSetAndSpeakOnlyWhenLoud)
{
    for (const std::string hostDate : {"AB0101", "011301", "010231"}) {
        for (bool quiet : {true, false}) {
            dialogs_.Shown.clear();
            dunlist::HostDateError = false;
            EXPECT_EQ(dunlist::HostDateToDate(hostDate, quiet), dunlist::FallbackDate) << hostDate;
            EXPECT_TRUE(dunlist::HostDateError) << hostDate << (quiet ? " quiet" : " loud");
            EXPECT_EQ(ShownTexts(), quiet ? std::vector<std::string>{}
                                          : std::vector<std::string>{"Invalid OV file date  " + hostDate});
        }
    }
}

TEST_F(NoteViewerDates, ShortDisplayOfAnUnusableYearKeepsTheOutput)
{
    std::string display = "kept";
    dunlist::HostDateToShortDisplayDate("  0101", display);
    EXPECT_EQ(display, "kept");
    EXPECT_TRUE(dunlist::HostDateError);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Invalid OV date format M/d/yy" + Suffix});
}

TEST_F(NoteViewerDates, FormatsTheConversionCannotFollowAreReportedEvenWhenQuiet)
{
    Use({"gg/M/d", '/'});
    std::string display = "kept";
    dunlist::HostDateToShortDisplayDate("010203", display);
    EXPECT_EQ(display, "kept");
    EXPECT_TRUE(dunlist::HostDateError);
    EXPECT_EQ(dunlist::HostDateToDate("010203", true), dunlist::FallbackDate);
    EXPECT_TRUE(dunlist::HostDateError);
    Use({"M d yy", ' '});
    EXPECT_EQ(dunlist::HostDateToDate("010203", true), dunlist::FallbackDate);
    EXPECT_TRUE(dunlist::HostDateError);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"Invalid global date format gg/M/d" + Suffix,
                                                      "Invalid global date format gg/M/d" + Suffix,
                                                      "Invalid date format - no date separator M d yy" + Suffix}));
}

}  // namespace
