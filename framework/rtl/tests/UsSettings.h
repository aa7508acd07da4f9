// Test fixture: fixed English (United States) format settings, restored from the locale afterwards.
#pragma once

#include <gtest/gtest.h>

#include "rtl/FormatSettings.h"

class UsSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        DecimalSeparator = '.';
        ThousandSeparator = ',';
        DateSeparator = '/';
        TimeSeparator = ':';
        CurrencyString = "$";
        CurrencyFormat = 0;
        NegCurrFormat = 0;
        CurrencyDecimals = 2;
        ShortDateFormat = "M/d/yyyy";
        LongDateFormat = "dddd, MMMM d, yyyy";
        ShortTimeFormat = "h:mm AMPM";
        LongTimeFormat = "h:mm:ss AMPM";
        TimeAMString = "AM";
        TimePMString = "PM";
        TwoDigitYearCenturyWindow = 50;
    }
    void TearDown() override
    {
        GetFormatSettings();
        TwoDigitYearCenturyWindow = 50;
    }
};
