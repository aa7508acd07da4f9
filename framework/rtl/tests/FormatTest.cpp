#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include "UsSettings.h"

namespace {

class FormatTest : public UsSettings {};

TEST_F(FormatTest, IntegersWidthPrecisionAndAlignment)
{
    EXPECT_EQ(Format("%d", {42}), "42");
    EXPECT_EQ(Format("%5d|%-5d|", {42, 42}), "   42|42   |");
    EXPECT_EQ(Format("%.3d", {-5}), "-005");
    EXPECT_EQ(Format("%5.5d", {-3}), "-00003");
    EXPECT_EQ(Format("%10.10d", {123456}), "0000123456");
    EXPECT_EQ(Format("%2d - ", {0}), " 0 - ");
    EXPECT_EQ(Format("%d", {Int64(-9000000000LL)}), "-9000000000");
    EXPECT_EQ(Format("%u", {-1}), "4294967295");
    EXPECT_EQ(Format("%x", {255}), "FF");
    EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
    EXPECT_EQ(Format("%x", {Int64(-1)}), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%.4x", {0xAB}), "00AB");
    EXPECT_EQ(Format("%X", {0xab}), "AB");
    EXPECT_EQ(Format("( %x )", {0x1234}), "( 1234 )");
}

TEST_F(FormatTest, StringsCharsPointersAndPercent)
{
    EXPECT_EQ(Format("%s_%d", {"Session", 1}), "Session_1");
    EXPECT_EQ(Format("[%7s][%-7s]", {"ab", "ab"}), "[     ab][ab     ]");
    EXPECT_EQ(Format("%.2s", {std::string("abcdef")}), "ab");
    EXPECT_EQ(Format("%s%s:\"%s\";", {"", "PATH", "c:\\data"}), "PATH:\"c:\\data\";");
    EXPECT_EQ(Format("%s", {'x'}), "x");
    EXPECT_EQ(Format("100%%", {}), "100%");
    // As many digits as a pointer has.
    EXPECT_EQ(Format("%p", {reinterpret_cast<const void*>(0x1234)}), std::string(2 * sizeof(void*) - 4, '0') + "1234");
}

TEST_F(FormatTest, FloatsDefaultTwoDecimalsAndGroups)
{
    EXPECT_EQ(Format("%f", {1234.5}), "1234.50");
    EXPECT_EQ(Format("%3f", {1234.5}), "1234.50");
    EXPECT_EQ(Format("%3f", {-0.5}), "-0.50");
    EXPECT_EQ(Format("%8.3f", {3.14159}), "   3.142");
    EXPECT_EQ(Format("%.0f", {2.5}), "3");
    EXPECT_EQ(Format("%f", {-0.001}), "0.00");
    EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
    EXPECT_EQ(Format("%.0n", {-999.5}), "-1,000");
    EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
    EXPECT_EQ(Format("%.3e", {-0.000123456}), "-1.23E-004");
    EXPECT_EQ(Format("%g", {0.1}), "0.1");
    EXPECT_EQ(Format("%g", {1e20}), "1E20");
    EXPECT_EQ(Format("%m", {1234.5}), "$1,234.50");
    EXPECT_EQ(Format("%m", {-3.0}), "($3.00)");
    EXPECT_EQ(Format("%.1m", {Currency(2.25)}), "$2.3");
    EXPECT_EQ(Format("%f", {Currency(0.125)}), "0.13");
    DecimalSeparator = ',';
    ThousandSeparator = '.';
    EXPECT_EQ(Format("%n", {1234.5}), "1.234,50");
}

TEST_F(FormatTest, IndexAndStarTakeArguments)
{
    EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b", "c"}), "b a b");
    EXPECT_EQ(Format("%*d", {5, 42}), "   42");
    EXPECT_EQ(Format("%-*.*f|", {8, 1, 2.25}), "2.3     |");
    EXPECT_EQ(Format("%0:s-%0:s", {"x"}), "x-x");
}

TEST_F(FormatTest, MismatchAndMissingArgumentsRaiseConvertError)
{
    struct Case { const char* format; const char* message; };
    const Case cases[] = {
        {"%d", "Format '%d' invalid or incompatible with argument"},
        {"%s %d", "No argument for format '%s %d'"},
        {"%z", "Format '%z' invalid or incompatible with argument"},
        {"%", "Format '%' invalid or incompatible with argument"},
        {"a very long format string of more than 31 chars %s %s",
         "No argument for format 'a very long format string of mo'"},
    };
    for (const Case& c : cases) {
        try {
            Format(c.format, {"text"});
            ADD_FAILURE() << c.format;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_THROW(Format("%f", {1}), EConvertError);
    EXPECT_THROW(Format("%s", {1}), EConvertError);
}

TEST_F(FormatTest, FmtStrAndStrFmt)
{
    std::string s;
    FmtStr(s, "%d-%s", {7, "x"});
    EXPECT_EQ(s, "7-x");
    char buffer[32];
    EXPECT_STREQ(StrFmt(buffer, "%3d|", {5}), "  5|");
}

}  // namespace
