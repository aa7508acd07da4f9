#include "rtl/SysUtils.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "UsSettings.h"

namespace {

class FloatConvTest : public UsSettings {};

TEST_F(FloatConvTest, FloatToStrUsesFifteenDigitsAndThePlatformNotation)
{
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {0, "0"},
        {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-1.5, "-1.5"},
        {100, "100"},
        {1e15, "1E15"},
        {123456789012345.0, "123456789012345"},
        {123456789012345678.0, "1.23456789012346E17"},
        {1.5e-5, "1.5E-5"},
        {0.0001, "0.0001"},
        {0.00015, "0.00015"},
        {1e-10, "1E-10"},
        {0.1 + 0.2, "0.3"},
        {999999999999999.9, "1E15"},
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::nan(""), "NAN"},
    };
    for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << c.value;
}

TEST_F(FloatConvTest, FloatToStrFFormats)
{
    struct Case { double value; TFloatFormat format; int precision, digits; const char* text; };
    const Case cases[] = {
        {1234.5678, ffGeneral, 6, 0, "1234.57"},
        {1234.5678, ffGeneral, 3, 0, "1.23E3"},
        {1234.5678, ffExponent, 4, 2, "1.235E+03"},
        {0, ffExponent, 3, 0, "0.00E+0"},
        {1234.5678, ffFixed, 15, 2, "1234.57"},
        {-0.004, ffFixed, 15, 2, "0.00"},
        {1e20, ffFixed, 15, 2, "1E20"},
        {1234567.5, ffNumber, 15, 1, "1,234,567.5"},
        {-12.5, ffNumber, 15, 0, "-13"},
        {0.5, ffCurrency, 15, 2, "$0.50"},
        {-1234.5, ffCurrency, 15, 2, "($1,234.50)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.text) << c.value << " " << c.format;
}

TEST_F(FloatConvTest, CurrencyPatternsFollowTheSettings)
{
    CurrencyString = "EUR";
    const char* positive[] = {"EUR1.50", "1.50EUR", "EUR 1.50", "1.50 EUR"};
    for (int f = 0; f < 4; ++f) {
        CurrencyFormat = Byte(f);
        EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2), positive[f]);
    }
    const char* negative[] = {"(EUR1.50)", "-EUR1.50", "EUR-1.50", "EUR1.50-", "(1.50EUR)", "-1.50EUR",
                              "1.50-EUR", "1.50EUR-", "-1.50 EUR", "-EUR 1.50", "1.50 EUR-", "EUR 1.50-",
                              "EUR -1.50", "1.50- EUR", "(EUR 1.50)", "(1.50 EUR)"};
    for (int f = 0; f < 16; ++f) {
        NegCurrFormat = Byte(f);
        EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2), negative[f]) << f;
    }
}

TEST_F(FloatConvTest, CurrToStrIsExact)
{
    EXPECT_EQ(CurrToStr(Currency(1.5)), "1.5");
    EXPECT_EQ(CurrToStr(Currency::FromScaled(-12345)), "-1.2345");
    EXPECT_EQ(CurrToStr(Currency(Int64(922337203685477LL))), "922337203685477");
    EXPECT_EQ(CurrToStrF(Currency(1234.5), ffNumber, 2), "1,234.50");
    EXPECT_EQ(StrToCurr("12.34567").Scaled(), 123457);
}

TEST_F(FloatConvTest, StrToFloatAcceptsThePlatformsNumbersOnly)
{
    struct Case { const char* text; double value; };
    const Case good[] = {{"1.5", 1.5}, {"  -2", -2}, {"+3.", 3}, {".25", 0.25}, {"1e3", 1000}, {"1.5E-2 ", 0.015}};
    for (const Case& c : good) EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value) << c.text;
    for (const char* bad : {"", " ", "1,5", "abc", "1e", "1.2.3", "$1", "1e999", "0x10", "- 1", "\t1"}) {
        double value = 7;
        EXPECT_FALSE(TryStrToFloat(bad, value)) << bad;
        EXPECT_EQ(value, 7);
    }
    try {
        StrToFloat("x1");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x1' is not a valid floating point value");
    }
    DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_THROW(StrToFloat("1.5"), EConvertError);
}

}  // namespace

namespace {

class FormatFloatTest : public UsSettings {};

TEST_F(FormatFloatTest, PlaceholdersSectionsAndLiterals)
{
    struct Case { const char* format; double value; const char* text; };
    const Case cases[] = {
        {"0.00", 1234.567, "1234.57"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0.00", -0.5, "-0.50"},
        {"000,000", 5, "000,005"},
        {"0.##", 1, "1"},
        {"0.##", 1.5, "1.5"},
        {"0.#0", 1.5, "1.50"},
        {"#.##", 0.05, ".05"},
        {"00", 123, "123"},
        {"#", 1234, "1234"},
        {"0000", -12, "-0012"},
        {"0", 2.5, "3"},
        {"0", -0.4, "0"},
        {"$#,##0.00", -5, "-$5.00"},
        {"0.00;(0.00)", -5, "(5.00)"},
        {"0.00;(0.00);\"zero\"", 0, "zero"},
        {"0.00;(0.00);zero", -0.001, "zero"},
        {"0;;'none'", 0, "none"},
        {"0;;'none'", -3, "-3"},
        {"'#'0 \"items\"", 7, "#7 items"},
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.00E-00", 0.0012345, "1.23E-03"},
        {"0.0E-0", 1234.5, "1.2E3"},
        {"0.00E+00", 0, "0.00E+00"},
        {"", 0.1, "0.1"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatFloat(c.format, c.value), c.text) << c.format << " " << c.value;
}

TEST_F(FormatFloatTest, UsesTheCurrentSeparators)
{
    DecimalSeparator = ',';
    ThousandSeparator = '.';
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
}

}  // namespace
