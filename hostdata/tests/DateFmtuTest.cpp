// Host dates both ways, in day-first and month-first order and under a foreign locale.
#include <gtest/gtest.h>

#include "hostdata/DateFmtu.h"
#include "rtl/SysUtils.h"
#include "vcl/TestHelpers.h"

namespace {

const std::string Suffix = "\r\rPlease call KDV, Inc. for assistance.";

// Sets the date format and separator for one test and restores them after.
class HostDates : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedFormat_ = ShortDateFormat;
        savedSeparator_ = DateSeparator;
        UseFormat("M/d/yyyy", '/');
    }
    void TearDown() override { UseFormat(savedFormat_, savedSeparator_); }

    static void UseFormat(const std::string& format, char separator)
    {
        ShortDateFormat = format;
        DateSeparator = separator;
    }

    std::string OnlyMessage() const
    {
        return dialogs_.Shown.size() == 1 ? dialogs_.Shown[0].Text : "<" + std::to_string(dialogs_.Shown.size()) + ">";
    }

    TScriptedDialogs dialogs_;
    std::string savedFormat_;
    char savedSeparator_ = '/';
};

struct DateCase {
    std::string HostDate;
    Word Year, Month, Day;
};

TEST_F(HostDates, SixDigitsDecodeInEveryLocale)
{
    const DateCase cases[] = {
        {"991231", 2079, 12, 31}, {"000101", 1980, 1, 1}, {"200101", 2000, 1, 1},
        {"010101", 1981, 1, 1},   {"200229", 2000, 2, 29}, {"010101  ", 1981, 1, 1},
    };
    const std::pair<std::string, char> locales[] = {{"M/d/yyyy", '/'}, {"dd/MM/yyyy", '/'}, {"yyyy-MM-dd", '-'},
                                                    {"dd.MM.yy", '.'}};
    for (const auto& [format, separator] : locales) {
        UseFormat(format, separator);
        for (const DateCase& c : cases) {
            HostDateError = true;
            EXPECT_EQ(HostDateToDate(c.HostDate, false), EncodeDate(c.Year, c.Month, c.Day)) << c.HostDate << format;
            EXPECT_FALSE(HostDateError) << c.HostDate << " " << format;
        }
    }
    EXPECT_TRUE(dialogs_.Shown.empty());
}

struct BadDateCase {
    std::string HostDate;
    std::string Message;
};

TEST_F(HostDates, InvalidTextsFallBackWithTheirMessage)
{
    const BadDateCase cases[] = {
        {"12345", "Invalid date - must be 6 integers. (12345) Date 01/01/1981 will be used. "},
        {"-10101", "Invalid date - must be 6 integers. (-10101) Date 01/01/1981 will be used. "},
        {"01a101", "Invalid date - must be 6 integers. (01a101) Date 01/01/1981 will be used. "},
        {"991331", "Invalid OV file date  991331Date 01/01/1981 will be used. "},
        {"010231", "Invalid OV file date  010231Date 01/01/1981 will be used. "},
        {"190229", "Invalid OV file date  190229Date 01/01/1981 will be used. "},
        {"010100", "Invalid OV file date  010100Date 01/01/1981 will be used. "},
        {"  010101", "Invalid OV file date    010101Date 01/01/1981 will be used. "},
    };
    for (const BadDateCase& c : cases) {
        dialogs_.Shown.clear();
        HostDateError = false;
        EXPECT_EQ(HostDateToDate(c.HostDate, false), FallbackDate) << c.HostDate;
        EXPECT_TRUE(HostDateError) << c.HostDate;
        EXPECT_EQ(OnlyMessage(), c.Message + Suffix);
        EXPECT_EQ(dialogs_.Shown[0].Type, mtError);
        HostDateError = false;
        EXPECT_EQ(HostDateToDate(c.HostDate, true), FallbackDate);
        EXPECT_TRUE(HostDateError);
        EXPECT_EQ(dialogs_.Shown.size(), 1u) << "a quiet conversion shows nothing";
    }
}

TEST_F(HostDates, TwoDigitYearsAfterAConversionFallIn1980To2079)
{
    HostDateToDate("010101", true);
    EXPECT_EQ(StrToDate("1/1/85"), EncodeDate(1985, 1, 1));
    EXPECT_EQ(StrToDate("1/1/79"), EncodeDate(2079, 1, 1));
}

struct DisplayCase {
    std::string Format;
    std::string HostDate;
    std::string Long;
    std::string Short;
};

TEST_F(HostDates, DisplayTextsFollowTheFormatsOrder)
{
    const DisplayCase cases[] = {
        {"dd/MM/yyyy", "250315", "15/03/2005", "15/03/05"},
        {"M/d/yyyy", "250315", "03/15/2005", "03/15/05"},
        {"m/d/yy", "991231", "12/31/2079", "12/31/79"},
        {"d/M/yy", "000101", "01/01/1980", "01/01/80"},
        {"M/d/yyyy", "190704  ", "07/04/1999", "07/04/99"},
    };
    for (const DisplayCase& c : cases) {
        UseFormat(c.Format, '/');
        EXPECT_EQ(HostDateToDisplayDate(c.HostDate, false), c.Long) << c.Format << " " << c.HostDate;
        EXPECT_FALSE(HostDateError);
        EXPECT_EQ(HostDateToShortDisplayDate(c.HostDate, false), c.Short) << c.Format << " " << c.HostDate;
        EXPECT_FALSE(HostDateError);
    }
    EXPECT_TRUE(dialogs_.Shown.empty());
}

struct BadDisplayCase {
    std::string HostDate;
    std::string LongMessage;
    std::string ShortMessage;
};

TEST_F(HostDates, InvalidDisplayConversionsFallBackWithTheirMessage)
{
    const std::string length = "Invalid OV file date length - Must be 6 integers. (";
    const std::string tail = ")  Can't convert to OV display date. Date 01/01/81 will be used. ";
    const std::string cannot = "Can't convert OV file date to OV display date. DateFormat = M/d/yyyy";
    const BadDisplayCase cases[] = {
        {"12345", length + "12345" + tail, length + "12345" + tail},
        {"12a456", "Invalid OV file date - must be 6 integers. (12a456" + tail, length + "12a456" + tail},
        {"991331", cannot + ". OV file date = 991331. Date 01/01/1981 will be used. ",
         cannot + ".  OV file date = 991331. Date 01/01/81 will be used. "},
        {"  010101", cannot + ". OV file date =   010101. Date 01/01/1981 will be used. ",
         cannot + ".  OV file date =   010101. Date 01/01/81 will be used. "},
    };
    for (const BadDisplayCase& c : cases) {
        dialogs_.Shown.clear();
        EXPECT_EQ(HostDateToDisplayDate(c.HostDate, false), FallbackDisplayDate) << c.HostDate;
        EXPECT_TRUE(HostDateError);
        EXPECT_EQ(OnlyMessage(), c.LongMessage + Suffix);
        dialogs_.Shown.clear();
        EXPECT_EQ(HostDateToShortDisplayDate(c.HostDate, false), FallbackDisplayDate) << c.HostDate;
        EXPECT_TRUE(HostDateError);
        EXPECT_EQ(OnlyMessage(), c.ShortMessage + Suffix);
    }
}

TEST_F(HostDates, YearFirstFormatIsAFailureForTheLongDisplay)
{
    UseFormat("yyyy/MM/dd", '/');
    EXPECT_EQ(HostDateToDisplayDate("250315", true), FallbackDisplayDate);
    EXPECT_TRUE(HostDateError);
    EXPECT_EQ(HostDateToShortDisplayDate("250315", true), "03/15/05");
    EXPECT_FALSE(HostDateError);
}

TEST_F(HostDates, DatesToHostDatesInsideTheHostRange)
{
    EXPECT_EQ(DateToHostDate(false, EncodeDate(2009, 3, 5)), "290305");
    EXPECT_FALSE(HostDateError);
    EXPECT_EQ(DateToHostDate(false, EncodeDate(1989, 12, 31) + 0.75), "091231");
    EXPECT_EQ(DateToHostDate(false, EncodeDate(1980, 1, 1)), "000101");
    EXPECT_EQ(DateToHostDate(false, EncodeDate(2079, 12, 31)), "991231");
    EXPECT_TRUE(dialogs_.Shown.empty());

    EXPECT_EQ(DateToHostDate(false, EncodeDate(1979, 12, 31)), FallbackHostDate);
    EXPECT_TRUE(HostDateError);
    EXPECT_EQ(OnlyMessage(), "Invalid date (12/31/1979) cannot convert to OV file format. Date 01/01/1981 will be "
                             "used. " + Suffix);
    EXPECT_EQ(DateToHostDate(true, EncodeDate(2080, 1, 1)), FallbackHostDate);
    EXPECT_TRUE(HostDateError);
}

}  // namespace
