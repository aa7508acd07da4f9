#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include "UsSettings.h"

namespace {

class DateFormatTest : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        const char* shortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const char* longMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};
        const char* shortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        const char* longDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
        for (int i = 1; i <= 12; ++i) ShortMonthNames[i] = shortMonths[i - 1], LongMonthNames[i] = longMonths[i - 1];
        for (int i = 1; i <= 7; ++i) ShortDayNames[i] = shortDays[i - 1], LongDayNames[i] = longDays[i - 1];
    }
};

TEST_F(DateFormatTest, EveryFormatLetter)
{
    // Friday 5 March 2004, 22:07:09.045
    const TDateTime value = EncodeDate(2004, 3, 5) + EncodeTime(22, 7, 9, 45);
    struct Case { const char* format; const char* text; };
    const Case cases[] = {
        {"d dd ddd dddd", "5 05 Fri Friday"},
        {"ddddd", "3/5/2004"},
        {"dddddd", "Friday, March 5, 2004"},
        {"m mm mmm mmmm", "3 03 Mar March"},
        {"y yy yyy yyyy", "04 04 2004 2004"},
        {"e ee g gg", "2004 2004  "},
        {"h hh n nn s ss", "22 22 7 07 9 09"},
        {"z zzz", "45 045"},
        {"hh:mm:ss", "22:07:09"},
        {"h:m", "22:7"},
        {"hh.mm", "22.07"},
        {"mm/dd/yy", "03/05/04"},
        {"h:mm am/pm", "10:07 pm"},
        {"h:mm AM/PM", "10:07 PM"},
        {"h:mm a/p", "10:07 p"},
        {"h:mm A/P", "10:07 P"},
        {"h:mm ampm", "10:07 PM"},
        {"hh ampm", "10 PM"},
        {"h 'h' h", "22 h 22"},
        {"t", "10:07 PM"},
        {"tt", "10:07:09 PM"},
        {"c", "3/5/2004 10:07:09 PM"},
        {"", "3/5/2004 10:07:09 PM"},
        {"'dd' \"mm\" dd", "dd mm 05"},
        {"yyyy-mm-dd", "2004-03-05"},
        {"dd/mm/yyyy", "05/03/2004"},
        {"HH:MM", "22:07"},
        {"aaa aaaa", "Fri Friday"},
        {"x*?", "x*?"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.format, value), c.text) << c.format;
}

TEST_F(DateFormatTest, TwelveHourClockAroundMidnightAndNoon)
{
    struct Case { Word hour, min; const char* text; };
    const Case cases[] = {{0, 5, "12:05 AM"}, {11, 59, "11:59 AM"}, {12, 0, "12:00 PM"}, {13, 0, "1:00 PM"}};
    for (const Case& c : cases) EXPECT_EQ(FormatDateTime("h:mm AMPM", EncodeTime(c.hour, c.min, 0, 0)), c.text);
}

TEST_F(DateFormatTest, SeparatorsAndShortcutsFollowTheSettings)
{
    const TDateTime value = EncodeDate(2004, 3, 5) + EncodeTime(8, 5, 0, 0);
    DateSeparator = '.';
    TimeSeparator = '-';
    ShortDateFormat = "dd/mm/yyyy";
    LongTimeFormat = "hh:nn:ss";
    EXPECT_EQ(DateToStr(value), "05.03.2004");
    EXPECT_EQ(TimeToStr(value), "08-05-00");
    EXPECT_EQ(DateTimeToStr(value), "05.03.2004 08-05-00");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2004, 3, 5)), "05.03.2004");  // no time part at midnight
    std::string s;
    DateTimeToString(s, "yyyy/mm", value);
    EXPECT_EQ(s, "2004.03");
}

TEST_F(DateFormatTest, DatesBeforeTheEpoch)
{
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", -693593), "0001-01-01");
}

}  // namespace
