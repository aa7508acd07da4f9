#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

namespace {

int Sign(int n) { return (n > 0) - (n < 0); }

TEST(StringRoutinesTest, CaseConversion)
{
    EXPECT_EQ(UpperCase("abz\xE9"), "ABZ\xE9");
    EXPECT_EQ(LowerCase("ABZ\xC9"), "abz\xC9");
    EXPECT_EQ(AnsiUpperCase("abz\xE9\xFC"), "ABZ\xC9\xDC");
    EXPECT_EQ(AnsiLowerCase("ABZ\xC9\xDC"), "abz\xE9\xFC");
}

TEST(StringRoutinesTest, Comparisons)
{
    EXPECT_EQ(Sign(CompareStr("a", "B")), 1);
    EXPECT_EQ(Sign(CompareText("a", "B")), -1);
    EXPECT_EQ(CompareText("Hello", "hELLO"), 0);
    EXPECT_EQ(Sign(CompareText("abc", "ab")), 1);
    EXPECT_TRUE(SameText("STANDARD", "standard"));
    EXPECT_FALSE(SameText("\xE9", "\xC9"));
    EXPECT_EQ(Sign(AnsiCompareStr("a", "B")), -1);
    EXPECT_EQ(Sign(AnsiCompareStr("a", "A")), -1);
    EXPECT_EQ(AnsiCompareText("\xE9t\xE9", "\xC9T\xC9"), 0);
    EXPECT_EQ(Sign(AnsiCompareText("b", "A")), 1);
}

TEST(StringRoutinesTest, OneBasedPositions)
{
    EXPECT_EQ(Pos("=", "PATH=c:"), 5);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");
    EXPECT_EQ(Copy("abcdef", 2, -1), "");
    std::string s = "abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "adef");
    Delete(s, 9, 1);
    EXPECT_EQ(s, "adef");
    Insert("XY", s, 2);
    EXPECT_EQ(s, "aXYdef");
    Insert("!", s, 99);
    EXPECT_EQ(s, "aXYdef!");
    EXPECT_EQ(StringOfChar('*', 3), "***");
    EXPECT_EQ(StringOfChar('*', -1), "");
}

TEST(StringRoutinesTest, StringReplaceAndQuoting)
{
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", {}), "a+b-c");
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", {rfReplaceAll}), "a+b+c");
    EXPECT_EQ(StringReplace("aXbxc", "x", "", {rfReplaceAll, rfIgnoreCase}), "abc");
    EXPECT_EQ(StringReplace("aaa", "a", "aa", {rfReplaceAll}), "aaaaaa");
    EXPECT_EQ(StringReplace("abc", "", "x", {rfReplaceAll}), "abc");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");
}

}  // namespace
