#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include "UsSettings.h"

namespace {

class DateParseTest : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        SetClock([] { return EncodeDate(2004, 3, 5) + 0.5; });
    }
    void TearDown() override
    {
        ResetClock();
        UsSettings::TearDown();
    }
};

TEST_F(DateParseTest, DatesFollowTheShortDateOrder)
{
    struct Case { const char* format; const char* text; Word y, m, d; };
    const Case cases[] = {
        {"M/d/yyyy", "3/5/2004", 2004, 3, 5},
        {"M/d/yyyy", " 03 / 05 / 2004 ", 2004, 3, 5},
        {"dd/MM/yyyy", "5/3/2004", 2004, 3, 5},
        {"yyyy/MM/dd", "2004/3/5", 2004, 3, 5},
        {"M/d/yyyy", "12/25", 2004, 12, 25},       // no year: this year
        {"d/M/yyyy", "25/12", 2004, 12, 25},
        {"M/d/yyyy", "1/2/0004", 4, 1, 2},         // four digits stay as written
        {"M/d/yyyy", "2/29/2000/", 2000, 2, 29},   // a trailing separator is allowed
    };
    for (const Case& c : cases) {
        ShortDateFormat = c.format;
        EXPECT_EQ(StrToDate(c.text), EncodeDate(c.y, c.m, c.d)) << c.format << " " << c.text;
    }
}

TEST_F(DateParseTest, TwoDigitYearsUseTheCenturyWindow)
{
    struct Case { Word window; const char* text; Word year; };
    const Case cases[] = {
        {50, "1/1/54", 1954}, {50, "1/1/53", 2053}, {50, "1/1/00", 2000}, {50, "1/1/99", 1999},
        {0, "1/1/99", 2099},  {0, "1/1/04", 2004},  {10, "1/1/94", 1994}, {10, "1/1/93", 2093},
    };
    for (const Case& c : cases) {
        TwoDigitYearCenturyWindow = c.window;
        EXPECT_EQ(StrToDate(c.text), EncodeDate(c.year, 1, 1)) << c.window << " " << c.text;
    }
}

TEST_F(DateParseTest, BadDatesRaiseWithThePlatformsText)
{
    for (const char* bad : {"", "3", "3/", "2/30/2004", "3-5-2004", "3/5/2004x", "a/b/c", "13/1/2004", "3/5/2004 10:00"}) {
        TDateTime value = 7;
        EXPECT_FALSE(TryStrToDate(bad, value)) << bad;
        EXPECT_EQ(value, 7);
    }
    try {
        StrToDate("2/30/2004");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'2/30/2004' is not a valid date");
    }
    DateSeparator = '.';
    ShortDateFormat = "dd.MM.yyyy";
    EXPECT_EQ(StrToDate("05.03.2004"), EncodeDate(2004, 3, 5));
    EXPECT_THROW(StrToDate("05/03/2004"), EConvertError);
}

TEST_F(DateParseTest, TimesWithAndWithoutAmPm)
{
    struct Case { const char* text; Word h, n, s, ms; };
    const Case cases[] = {
        {"10", 10, 0, 0, 0},         {"10:30", 10, 30, 0, 0},     {"10:30:15", 10, 30, 15, 0},
        {"10:30:15.250", 10, 30, 15, 250}, {"10:30 PM", 22, 30, 0, 0}, {"12:00 am", 0, 0, 0, 0},
        {"12:00 PM", 12, 0, 0, 0},   {"PM 1:05", 13, 5, 0, 0},    {" 23:59:59 ", 23, 59, 59, 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(StrToTime(c.text), EncodeTime(c.h, c.n, c.s, c.ms)) << c.text;
    for (const char* bad : {"", "24:00", "10:60", "13:00 PM", "0:30 AM", "10:", "10:30x", "ten"})
        EXPECT_THROW(StrToTime(bad), EConvertError) << bad;
    try {
        StrToTime("25:00");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'25:00' is not a valid time");
    }
}

TEST_F(DateParseTest, DateAndTimeTogether)
{
    EXPECT_DOUBLE_EQ(StrToDateTime("3/5/2004 10:30 PM"), EncodeDate(2004, 3, 5) + EncodeTime(22, 30, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("3/5/2004"), EncodeDate(2004, 3, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime("10:30"), EncodeTime(10, 30, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("12/29/1899 6:00"), -1.25);
    try {
        StrToDateTime("3/5/2004 25:00");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'3/5/2004 25:00' is not a valid date and time");
    }
    EXPECT_THROW(StrToDateTime("3/5/2004 10:30 x"), EConvertError);
}

TEST_F(DateParseTest, RoundTripThroughDateToStr)
{
    for (const char* format : {"M/d/yyyy", "dd/MM/yyyy", "yyyy/MM/dd", "MM/dd/yy"}) {
        ShortDateFormat = format;
        for (TDateTime date : {EncodeDate(2004, 3, 5), EncodeDate(1999, 12, 31), EncodeDate(2030, 1, 1)})
            EXPECT_EQ(StrToDate(DateToStr(date)), date) << format;
    }
}

}  // namespace
