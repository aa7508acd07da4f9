#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/MemDataSet.h"
#include "rtl/SysUtils.h"
#include "vxdata/vxSystem.h"

namespace {

// US-style settings with the clock in 2026; each test may switch to another date format.
class VxSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = {ShortDateFormat, TimeAMString, TimePMString, DateSeparator, TimeSeparator};
        UseDateFormat("M/d/yyyy", '/');
        TimeSeparator = ':';
        TimeAMString = "AM";
        TimePMString = "PM";
        SetClock([] { return EncodeDate(2026, 12, 10) + 0.5; });
    }
    void TearDown() override
    {
        ResetClock();
        ShortDateFormat = saved.dateFormat;
        TimeAMString = saved.am;
        TimePMString = saved.pm;
        DateSeparator = saved.dateSeparator;
        TimeSeparator = saved.timeSeparator;
    }
    static void UseDateFormat(const std::string& format, char separator)
    {
        ShortDateFormat = format;
        DateSeparator = separator;
    }

    struct {
        std::string dateFormat, am, pm;
        char dateSeparator, timeSeparator;
    } saved;
};

TEST_F(VxSystemTest, DateOrderIsTheFirstOfDayMonthAndYear)
{
    EXPECT_EQ(vxGetDateOrder("M/d/yyyy"), 0);
    EXPECT_EQ(vxGetDateOrder("dd.MM.yyyy"), 1);
    EXPECT_EQ(vxGetDateOrder("yyyy-MM-dd"), 2);
    EXPECT_EQ(vxGetDateOrder("--"), 0);
}

TEST_F(VxSystemTest, ReadsDatesInMonthFirstOrder)
{
    struct Case {
        std::string text;
        TDateTime expected;  // 0: invalid
    };
    for (const Case& c : std::vector<Case>{{"12/31/99", EncodeDate(1999, 12, 31)},
                                          {"1/2/50", EncodeDate(2050, 1, 2)},
                                          {"1/2/51", EncodeDate(1951, 1, 2)},
                                          {" 2 / 29 / 2000 ", EncodeDate(2000, 2, 29)},
                                          {"12/31", EncodeDate(2026, 12, 31)},
                                          {"2/30/2000", 0},
                                          {"2/29/1900", 0},
                                          {"13/1/2000", 0},
                                          {"1/0/2000", 0},
                                          {"12/31/", 0},
                                          {"12", 0},
                                          {"", 0},
                                          {"ab/cd", 0}}) {
        EXPECT_EQ(vxTextToDate(c.text), c.expected) << c.text;
        EXPECT_EQ(vxIsDateText(c.text), c.expected != 0) << c.text;
    }
}

TEST_F(VxSystemTest, ReadsDatesInOtherOrdersAndMonthNames)
{
    UseDateFormat("dd.MM.yyyy", '.');
    EXPECT_EQ(vxTextToDate("31.12.99"), EncodeDate(1999, 12, 31));
    EXPECT_EQ(vxTextToDate("31.12"), EncodeDate(2026, 12, 31));
    UseDateFormat("dd-MMM-yy", '-');
    EXPECT_EQ(vxTextToDate("15-Jan-99"), EncodeDate(1999, 1, 15));
    EXPECT_EQ(vxTextToDate("15-jan-99"), EncodeDate(1999, 1, 15));
    UseDateFormat("yyyy/MM/dd", '/');
    EXPECT_EQ(vxTextToDate("2001/2/3"), EncodeDate(2001, 2, 3));
}

TEST_F(VxSystemTest, TextAfterTheDateIsIgnoredOnlyByTextToDate)
{
    EXPECT_EQ(vxTextToDate("12/31/99 garbage"), EncodeDate(1999, 12, 31));
    EXPECT_FALSE(vxIsDateText("12/31/99 garbage"));
}

TEST_F(VxSystemTest, ReadsTimes)
{
    struct Case {
        std::string text;
        bool valid;
        int hour, minute, second;
    };
    for (const Case& c : std::vector<Case>{{"10:30 PM", true, 22, 30, 0},
                                          {"12:15 AM", true, 0, 15, 0},
                                          {"12:15 pm", true, 12, 15, 0},
                                          {"23:59:59", true, 23, 59, 59},
                                          {"7:05:09 am", true, 7, 5, 9},
                                          {"13:00 PM", false, 0, 0, 0},
                                          {"0:10 AM", false, 0, 0, 0},
                                          {"10:30:", false, 0, 0, 0},
                                          {"24:00", false, 0, 0, 0},
                                          {"10:60", false, 0, 0, 0},
                                          {"10", false, 0, 0, 0},
                                          {"10:30 XM", false, 0, 0, 0}}) {
        EXPECT_EQ(vxIsTimeText(c.text), c.valid) << c.text;
        const TDateTime expected = c.valid ? EncodeTime(Word(c.hour), Word(c.minute), Word(c.second), 0) : 0;
        EXPECT_NEAR(vxTextToTime(c.text), expected, 1e-9) << c.text;
    }
    TimePMString = "nm";
    EXPECT_NEAR(vxTextToTime("1:00 NM"), EncodeTime(13, 0, 0, 0), 1e-9);
    EXPECT_NEAR(vxTextToTime("1:00 PM"), EncodeTime(13, 0, 0, 0), 1e-9);
}

TEST_F(VxSystemTest, ReadsDateAndTimeTogether)
{
    EXPECT_NEAR(vxTextToDateTime("12/31/99 10:30 PM"), EncodeDate(1999, 12, 31) + EncodeTime(22, 30, 0, 0), 1e-9);
    EXPECT_TRUE(vxIsDateTimeText("1/1/2000 0:00"));
    EXPECT_FALSE(vxIsDateTimeText("12/31/99"));
    EXPECT_FALSE(vxIsDateTimeText("12/31/99 10:30 x"));
    EXPECT_EQ(vxTextToDateTime("10:30"), 0);
}

TEST_F(VxSystemTest, IntegerAndFloatTexts)
{
    EXPECT_TRUE(vxIsIntegerText(""));
    EXPECT_TRUE(vxIsIntegerText("-5"));
    EXPECT_TRUE(vxIsIntegerText("0123"));
    EXPECT_FALSE(vxIsIntegerText("-"));
    EXPECT_FALSE(vxIsIntegerText("5-"));
    EXPECT_FALSE(vxIsIntegerText("1 2"));
    EXPECT_TRUE(vxIsFloatText(""));
    EXPECT_TRUE(vxIsFloatText("-12.5"));
    EXPECT_FALSE(vxIsFloatText("12.5.1"));
    EXPECT_FALSE(vxIsFloatText("abc"));
    EXPECT_TRUE(vxIsFloatText("1" + std::string(62, '0') + "x"));  // only the first 63 characters count
}

TEST_F(VxSystemTest, CaretPartsOfTimesAndDates)
{
    const std::string time = "10:30:45 PM";
    EXPECT_EQ(vxGetTimePartAt(0, time), dtpHour);
    EXPECT_EQ(vxGetTimePartAt(1, time), dtpHour);
    EXPECT_EQ(vxGetTimePartAt(4, time), dtpMinute);
    EXPECT_EQ(vxGetTimePartAt(7, time), dtpSecond);
    EXPECT_EQ(vxGetTimePartAt(10, time), dtpAmPm);
    EXPECT_EQ(vxGetDateTimePartAt(4, time, true), dtpMinute);

    const std::string date = "12/31/1999";
    EXPECT_EQ(vxGetDateTimePartAt(1, date, false), dtpMonth);
    EXPECT_EQ(vxGetDateTimePartAt(4, date, false), dtpDay);
    EXPECT_EQ(vxGetDateTimePartAt(8, date, false), dtpYear);
    EXPECT_EQ(vxGetDateTimePartAt(13, "12/31/1999 10:30", false), dtpHour);
    EXPECT_EQ(vxGetDateTimePartAt(15, "12/31/1999 10:30", false), dtpMinute);
    UseDateFormat("dd.MM.yyyy", '.');
    EXPECT_EQ(vxGetDateTimePartAt(1, "31.12.1999", false), dtpDay);
    EXPECT_EQ(vxGetDateTimePartAt(4, "31.12.1999", false), dtpMonth);
}

TEST_F(VxSystemTest, ValidTextForFieldTypes)
{
    EXPECT_TRUE(vxIsValidTypeText(ftInteger, "-12"));
    EXPECT_FALSE(vxIsValidTypeText(ftSmallint, "1.5"));
    EXPECT_TRUE(vxIsValidTypeText(ftBCD, "1.5"));
    EXPECT_FALSE(vxIsValidTypeText(ftDate, "12/31/99 1:00"));
    EXPECT_TRUE(vxIsValidTypeText(ftDateTime, "12/31/99"));
    EXPECT_TRUE(vxIsValidTypeText(ftDateTime, "12/31/99 1:00"));
    EXPECT_FALSE(vxIsValidTypeText(ftTime, "25:00"));
    EXPECT_TRUE(vxIsValidTypeText(ftString, "anything"));
    EXPECT_TRUE(vxIsNumericFieldType(ftAutoInc));
    EXPECT_FALSE(vxIsNumericFieldType(ftBCD));

    TMemDataSet* data = new TMemDataSet(nullptr);
    data->FieldDefs()->Add("Count", ftInteger);
    data->FieldDefs()->Add("Name", ftString, 10);
    data->Open();
    TField* count = data->FieldByName("Count");
    TField* name = data->FieldByName("Name");
    EXPECT_FALSE(vxIsValidFieldInput(count, ""));
    EXPECT_TRUE(vxIsValidFieldText(count, ""));
    EXPECT_TRUE(vxIsValidFieldInput(count, "42"));
    EXPECT_FALSE(vxIsValidFieldInput(count, "4x"));
    EXPECT_TRUE(vxIsValidFieldInput(name, ""));
    EXPECT_FALSE(vxIsValidFieldInput(nullptr, "42"));
    data->Free();
}

}  // namespace
