#include "rtl/StrBuf.h"

#include <gtest/gtest.h>

namespace {

int Sign(int n) { return (n > 0) - (n < 0); }

TEST(StrBufTest, CopyAndConcatenateWithinLimits)
{
    char buffer[16] = "zzzzzzzzzzzzzzz";
    EXPECT_EQ(StrLCopy(buffer, "abcdef", 3), buffer);
    EXPECT_STREQ(buffer, "abc");
    StrPCopy(buffer, std::string("hello"));
    EXPECT_EQ(StrLen(buffer), 5u);
    StrPLCopy(buffer, "hello world", 7);
    EXPECT_STREQ(buffer, "hello w");
    StrCat(buffer, "!");
    EXPECT_STREQ(buffer, "hello w!");
    StrLCat(buffer, "12345", 10);
    EXPECT_STREQ(buffer, "hello w!12");
    EXPECT_EQ(StrECopy(buffer, "ab"), buffer + 2);
    EXPECT_EQ(StrEnd(buffer), buffer + 2);
    EXPECT_EQ(StrPas(buffer), "ab");
    EXPECT_EQ(StrPas(nullptr), "");
}

TEST(StrBufTest, ComparisonsAndSearches)
{
    EXPECT_EQ(StrComp("abc", "abc"), 0);
    EXPECT_EQ(Sign(StrComp("abc", "abd")), -1);
    EXPECT_EQ(Sign(StrComp("abc", "ab")), 1);
    EXPECT_EQ(StrIComp("STANDARD", "standard"), 0);
    EXPECT_NE(StrIComp("\xC9", "\xE9"), 0);
    EXPECT_EQ(StrLComp("abcX", "abcY", 3), 0);
    EXPECT_EQ(StrLIComp("ABCx", "abcy", 3), 0);
    EXPECT_EQ(Sign(StrLIComp("ab", "abc", 5)), -1);
    const char* s = "a=b=c";
    EXPECT_EQ(StrScan(s, '='), s + 1);
    EXPECT_EQ(StrRScan(s, '='), s + 3);
    EXPECT_EQ(StrScan(s, 'x'), nullptr);
    EXPECT_EQ(StrPos(s, "b=c"), s + 2);
    EXPECT_EQ(StrPos(s, "x"), nullptr);
    char upper[] = "ab\xE9";
    EXPECT_STREQ(StrUpper(upper), "AB\xE9");
    EXPECT_STREQ(StrLower(upper), "ab\xE9");
}

}  // namespace
