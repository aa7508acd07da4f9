#include "rtl/FormatSettings.h"

#include <gtest/gtest.h>

#include "rtl/WinApi.h"

namespace {

std::string Locale(LCTYPE type)
{
    char buffer[100];
    int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length - 1 : 0);
}

TEST(FormatSettingsTest, ReadFromTheLocaleWithSundayAsDayOne)
{
    GetFormatSettings();
    EXPECT_EQ(std::string(1, DecimalSeparator), Locale(LOCALE_SDECIMAL));
    EXPECT_EQ(ShortDateFormat, Locale(LOCALE_SSHORTDATE));
    EXPECT_EQ(LongMonthNames[1], Locale(LOCALE_SMONTHNAME1));
    EXPECT_EQ(ShortMonthNames[12], Locale(LOCALE_SABBREVMONTHNAME12));
    EXPECT_EQ(LongDayNames[1], Locale(LOCALE_SDAYNAME7));  // the locale counts from Monday
    EXPECT_EQ(ShortDayNames[2], Locale(LOCALE_SABBREVDAYNAME1));
    EXPECT_EQ(LongDayNames[7], Locale(LOCALE_SDAYNAME6));
    EXPECT_THROW(LongDayNames[8], std::out_of_range);
}

TEST(FormatSettingsTest, TheSwitchStopsUpdatesFromTheLocale)
{
    const std::string localeSeparator = Locale(LOCALE_SDECIMAL);
    const char changed = localeSeparator == "," ? '.' : ',';
    DecimalSeparator = changed;
    UpdateFormatSettings = false;
    FormatSettingsChanged();
    EXPECT_EQ(DecimalSeparator, changed);
    UpdateFormatSettings = true;
    FormatSettingsChanged();
    EXPECT_EQ(std::string(1, DecimalSeparator), localeSeparator);
}

}  // namespace
