#include "rtl/SysUtils.h"

#include "rtl/WinApi.h"

#include <gtest/gtest.h>

namespace {

struct Ymd { Word y, m, d; };

Ymd Decoded(TDateTime value)
{
    Ymd r;
    DecodeDate(value, r.y, r.m, r.d);
    return r;
}

TEST(DateTimeTest, EncodeAndDecodeDatesAroundTheEpoch)
{
    struct Case { Word y, m, d; double value; };
    const Case cases[] = {
        {1899, 12, 30, 0},      {1899, 12, 29, -1},     {1900, 1, 1, 2},        {1900, 3, 1, 61},
        {2000, 2, 29, 36585},   {2004, 3, 5, 38051},    {1, 1, 1, -693593},     {9999, 12, 31, 2958465},
        {1980, 1, 1, 29221},    {2100, 3, 1, 73110},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.value) << c.y << "-" << c.m << "-" << c.d;
        Ymd back = Decoded(c.value);
        EXPECT_EQ(back.y, c.y);
        EXPECT_EQ(back.m, c.m);
        EXPECT_EQ(back.d, c.d);
    }
}

TEST(DateTimeTest, InvalidDatesAndTimesAreRefused)
{
    TDateTime value = 5;
    for (const Ymd& bad : {Ymd{2001, 2, 29}, Ymd{0, 1, 1}, Ymd{10000, 1, 1}, Ymd{2000, 13, 1}, Ymd{2000, 4, 31},
                           Ymd{2000, 1, 0}}) {
        EXPECT_FALSE(TryEncodeDate(bad.y, bad.m, bad.d, value));
        EXPECT_EQ(value, 5);
    }
    EXPECT_TRUE(TryEncodeDate(1900, 2, 28, value));
    try {
        EncodeDate(2001, 2, 29);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
    try {
        EncodeTime(24, 0, 0, 0);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, value));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, value));
}

TEST(DateTimeTest, TimeOfDayRoundsToMillisecondsAndCountsForwardOnNegativeDates)
{
    Word h, n, s, ms;
    DecodeTime(EncodeTime(13, 45, 30, 250), h, n, s, ms);
    EXPECT_EQ((std::vector<Word>{h, n, s, ms}), (std::vector<Word>{13, 45, 30, 250}));
    DecodeTime(-1.25, h, n, s, ms);  // 29 Dec 1899, 06:00
    EXPECT_EQ(h, 6);
    Ymd day = Decoded(-1.25);
    EXPECT_EQ(day.d, 29);
    DecodeTime(0.99999999999, h, n, s, ms);  // rounds to the next midnight
    EXPECT_EQ(h, 0);
    EXPECT_EQ(Decoded(0.99999999999).d, 31);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
}

TEST(DateTimeTest, DayOfWeekLeapYearsAndIncMonth)
{
    EXPECT_EQ(DayOfWeek(EncodeDate(2004, 3, 5)), 6);  // Friday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 31)), 1);  // Sunday
    EXPECT_EQ(DayOfWeek(-1.5), 6);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2004));
    EXPECT_FALSE(IsLeapYear(2003));
    EXPECT_EQ(IncMonth(EncodeDate(2004, 1, 31)), EncodeDate(2004, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2004, 1, 31), -2), EncodeDate(2003, 11, 30));
    EXPECT_EQ(IncMonth(EncodeDate(2004, 12, 15), 13), EncodeDate(2006, 1, 15));
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(2004, 3, 5) + 0.25, 1), EncodeDate(2004, 4, 5) + 0.25);
}

TEST(DateTimeTest, TimeStampsAndSystemTime)
{
    TTimeStamp stamp = DateTimeToTimeStamp(EncodeDate(2004, 3, 5) + 0.5);
    EXPECT_EQ(stamp.Date, 38051 + DateDelta);
    EXPECT_EQ(stamp.Time, MSecsPerDay / 2);
    EXPECT_DOUBLE_EQ(TimeStampToMSecs(stamp), (38051.0 + DateDelta) * MSecsPerDay + MSecsPerDay / 2);
    TTimeStamp back = MSecsToTimeStamp(TimeStampToMSecs(stamp));
    EXPECT_EQ(back.Date, stamp.Date);
    EXPECT_EQ(back.Time, stamp.Time);
    EXPECT_DOUBLE_EQ(TimeStampToDateTime(stamp), 38051.5);
    EXPECT_DOUBLE_EQ(TimeStampToDateTime(DateTimeToTimeStamp(-1.25)), -1.25);

    SYSTEMTIME st;
    DateTimeToSystemTime(EncodeDate(2004, 3, 5) + EncodeTime(22, 30, 15, 7), st);
    EXPECT_EQ(st.wYear, 2004);
    EXPECT_EQ(st.wMonth, 3);
    EXPECT_EQ(st.wDay, 5);
    EXPECT_EQ(st.wDayOfWeek, 5);
    EXPECT_EQ(st.wHour, 22);
    EXPECT_EQ(st.wMinute, 30);
    EXPECT_EQ(st.wSecond, 15);
    EXPECT_EQ(st.wMilliseconds, 7);
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime(st), EncodeDate(2004, 3, 5) + EncodeTime(22, 30, 15, 7));
}

TEST(ClockTest, TestsCanFixNowAndTheTickCount)
{
    const TDateTime fixed = EncodeDate(2004, 3, 5) + EncodeTime(9, 30, 0, 0);
    SetClock([fixed] { return fixed; }, [] { return Cardinal(1234); });
    EXPECT_EQ(Now(), fixed);
    EXPECT_EQ(Date(), EncodeDate(2004, 3, 5));
    EXPECT_DOUBLE_EQ(Time(), EncodeTime(9, 30, 0, 0));
    EXPECT_EQ(CurrentYear(), 2004);
    EXPECT_EQ(TickCount(), 1234u);
    ResetClock();
    EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
    EXPECT_NE(TickCount(), 1234u);
}

TEST(ClockTest, TheTickCountAloneCanBeReplacedAndPutBack)
{
    const TDateTime fixed = EncodeDate(2004, 3, 5);
    SetClock([fixed] { return fixed; });
    auto real = SetTickSource([] { return Cardinal(77); });
    EXPECT_EQ(TickCount(), 77u);
    EXPECT_EQ(Now(), fixed);
    SetTickSource(real);
    EXPECT_NE(TickCount(), 77u);
    ResetClock();
}

}  // namespace
