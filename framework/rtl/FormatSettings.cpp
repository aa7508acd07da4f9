#include "rtl/FormatSettings.h"

#include "rtl/WinApi.h"

char DecimalSeparator = '.';
char ThousandSeparator = ',';
char DateSeparator = '/';
char TimeSeparator = ':';
char ListSeparator = ',';
std::string CurrencyString = "$";
Byte CurrencyFormat = 0;
Byte NegCurrFormat = 0;
Byte CurrencyDecimals = 2;
std::string ShortDateFormat = "M/d/yyyy";
std::string LongDateFormat = "dddd, MMMM d, yyyy";
std::string ShortTimeFormat = "h:mm AMPM";
std::string LongTimeFormat = "h:mm:ss AMPM";
std::string TimeAMString = "AM";
std::string TimePMString = "PM";
NameTable<12> ShortMonthNames;
NameTable<12> LongMonthNames;
NameTable<7> ShortDayNames;
NameTable<7> LongDayNames;
Word TwoDigitYearCenturyWindow = 50;
bool UpdateFormatSettings = true;

namespace {

std::string LocaleString(LCTYPE type, const std::string& fallback)
{
    char buffer[256];
    int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return length > 1 ? std::string(buffer, length - 1) : fallback;
}

char LocaleChar(LCTYPE type, char fallback)
{
    std::string s = LocaleString(type, std::string(1, fallback));
    return s.empty() ? fallback : s[0];
}

Byte LocaleNumber(LCTYPE type, Byte fallback)
{
    std::string s = LocaleString(type, "");
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return fallback;
    return static_cast<Byte>(std::stoi(s));
}

void ReadNames()
{
    for (int month = 1; month <= 12; ++month) {
        ShortMonthNames[month] = LocaleString(LOCALE_SABBREVMONTHNAME1 + month - 1, "");
        LongMonthNames[month] = LocaleString(LOCALE_SMONTHNAME1 + month - 1, "");
    }
    // The locale's day 1 is Monday; the platform's day 1 is Sunday.
    for (int day = 1; day <= 7; ++day) {
        int localeDay = (day + 5) % 7;
        ShortDayNames[day] = LocaleString(LOCALE_SABBREVDAYNAME1 + localeDay, "");
        LongDayNames[day] = LocaleString(LOCALE_SDAYNAME1 + localeDay, "");
    }
}

void ReadTimeFormats()
{
    std::string hour = LocaleNumber(LOCALE_ITLZERO, 0) == 0 ? "h" : "hh";
    std::string prefix, postfix;
    if (LocaleNumber(LOCALE_ITIME, 0) == 0) {
        if (LocaleNumber(LOCALE_ITIMEMARKPOSN, 0) == 0)
            postfix = " AMPM";
        else
            prefix = "AMPM ";
    }
    ShortTimeFormat = prefix + hour + ":mm" + postfix;
    LongTimeFormat = prefix + hour + ":mm:ss" + postfix;
}

struct LocaleReader {
    LocaleReader() { GetFormatSettings(); }
} readAtStart;

}  // namespace

void GetFormatSettings()
{
    CurrencyString = LocaleString(LOCALE_SCURRENCY, "");
    CurrencyFormat = LocaleNumber(LOCALE_ICURRENCY, 0);
    NegCurrFormat = LocaleNumber(LOCALE_INEGCURR, 0);
    CurrencyDecimals = LocaleNumber(LOCALE_ICURRDIGITS, 0);
    ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, ',');
    DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, '.');
    ListSeparator = LocaleChar(LOCALE_SLIST, ',');
    DateSeparator = LocaleChar(LOCALE_SDATE, '/');
    TimeSeparator = LocaleChar(LOCALE_STIME, ':');
    ShortDateFormat = LocaleString(LOCALE_SSHORTDATE, "m/d/yy");
    LongDateFormat = LocaleString(LOCALE_SLONGDATE, "mmmm d, yyyy");
    TimeAMString = LocaleString(LOCALE_S1159, "am");
    TimePMString = LocaleString(LOCALE_S2359, "pm");
    ReadTimeFormats();
    ReadNames();
}

void FormatSettingsChanged()
{
    if (UpdateFormatSettings) GetFormatSettings();
}
