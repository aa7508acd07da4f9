#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(IntConvTest, IntToStrAndIntToHex)
{
    EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(IntToStr(Int64(1) << 40), "1099511627776");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(Int64(-2), 1), "FFFFFFFFFFFFFFFE");
    EXPECT_EQ(IntToHex(Word(0xABC), 0), "ABC");
}

TEST(IntConvTest, StrToIntReadsDecimalAndHex)
{
    struct Case { const char* text; Integer value; };
    const Case good[] = {{"0", 0},          {"  12", 12},          {"-7", -7},       {"+7", 7},
                         {"$1F", 31},       {"0x10", 16},          {"x10", 16},      {"$FFFFFFFF", -1},
                         {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"007", 7}};
    for (const Case& c : good) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    for (const char* bad : {"", " ", "12 ", "1.0", "2147483648", "-2147483649", "$", "$100000000", "abc", "1e3"}) {
        Integer value = 99;
        EXPECT_FALSE(TryStrToInt(bad, value)) << bad;
        EXPECT_EQ(value, 99);
        EXPECT_EQ(StrToIntDef(bad, -5), -5);
    }
    try {
        StrToInt("12a");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'12a' is not a valid integer value");
    }
}

TEST(IntConvTest, StrToInt64CoversTheWholeRange)
{
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

}  // namespace
