// The platform's global format settings, read from the user locale at start and changeable by programs.
#pragma once

#include <array>
#include <string>

#include "rtl/Types.h"

// A table of names indexed from 1, as the platform's month (1..12) and day (1 = Sunday .. 7) names.
template <int Count>
class NameTable {
public:
    std::string& operator[](int index) { return names_.at(index - 1); }
    const std::string& operator[](int index) const { return names_.at(index - 1); }

private:
    std::array<std::string, Count> names_;
};

extern char DecimalSeparator;
extern char ThousandSeparator;
extern char DateSeparator;
extern char TimeSeparator;
extern char ListSeparator;
extern std::string CurrencyString;
extern Byte CurrencyFormat;    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
extern Byte NegCurrFormat;     // 0..15, the locale's negative currency patterns
extern Byte CurrencyDecimals;
extern std::string ShortDateFormat;
extern std::string LongDateFormat;
extern std::string ShortTimeFormat;
extern std::string LongTimeFormat;
extern std::string TimeAMString;
extern std::string TimePMString;
extern NameTable<12> ShortMonthNames;
extern NameTable<12> LongMonthNames;
extern NameTable<7> ShortDayNames;
extern NameTable<7> LongDayNames;
extern Word TwoDigitYearCenturyWindow;

// When true (the default), FormatSettingsChanged re-reads the settings from the locale.
extern bool UpdateFormatSettings;

// Reads every setting above (except TwoDigitYearCenturyWindow) from the user locale.
void GetFormatSettings();
// To be called when the system reports a locale change.
void FormatSettingsChanged();
