#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vxdata/Vxpict.h"

namespace {

struct TPictureCase {
    std::string mask;
    std::string text;
    bool autoFill;
    TvxPictureResult result;
    std::string normalised;  // the text after the check
};

void CheckCases(const std::vector<TPictureCase>& cases)
{
    for (const TPictureCase& c : cases) {
        TvxPictureValidator validator(c.mask, c.autoFill);
        std::string text = c.text;
        EXPECT_EQ(validator.Check(text, c.autoFill), c.result) << "mask '" << c.mask << "' text '" << c.text << "'";
        EXPECT_EQ(text, c.normalised) << "mask '" << c.mask << "' text '" << c.text << "'";
    }
}

TEST(VxpictTest, CharacterClassesAndCaseConversion)
{
    CheckCases({
        {"###", "123", false, prComplete, "123"},
        {"###", "12", false, prIncomplete, "12"},
        {"###", "1a3", false, prError, "1a3"},
        {"???", "aZ\xe9", false, prComplete, "aZ\xe9"},
        {"?", "1", false, prError, "1"},
        {"&&", "ab", false, prComplete, "AB"},
        {"~~", "AB", false, prComplete, "ab"},
        {"!!!", "a1-", false, prComplete, "A1-"},
        {"@@", "a1", false, prComplete, "a1"},
        {"AB", "ab", false, prComplete, "AB"},
        {";##", "#1", false, prComplete, "#1"},
        {";#", "1", false, prError, "1"},
    });
}

TEST(VxpictTest, TheProgramsMasks)
{
    const std::string amount =
        "{*9{#}[.##],*8{#}[.##],*7{#}[.##],*6{#}[.##],*5{#}[.##],####[.##],###[.##],##[.##],#[.##]}";
    CheckCases({
        {"#[#][#][#][#]", "12", false, prComplete, "12"},
        {"#[#][#][#][#]", "12345", false, prComplete, "12345"},
        {"#[#][#][#][#]", "123456", false, prError, "123456"},
        {"#[#][#][#][#]", "1a", false, prError, "1a"},
        {"#[#][#][#][#]", "", false, prEmpty, ""},
        {"{ ,C,D,F,N,R}", "c", false, prComplete, "C"},
        {"{ ,C,D,F,N,R}", " ", false, prComplete, " "},
        {"{ ,C,D,F,N,R}", "X", false, prError, "X"},
        {"{ ,C,D,F,N,R}", "CD", false, prError, "CD"},
        {"*#[.[#][#]]", "7", false, prComplete, "7"},
        {"*#[.[#][#]]", "12.5", false, prComplete, "12.5"},
        {"*#[.[#][#]]", "12.", false, prComplete, "12."},
        {"*#[.[#][#]]", "12.345", false, prError, "12.345"},
        {"*#[.[#][#]]", "1x", false, prError, "1x"},
        {amount, "5", false, prComplete, "5"},
        {amount, "12345.67", false, prComplete, "12345.67"},
        {amount, "123456789.5", false, prIncomplete, "123456789.5"},
        {amount, "123456789.50", false, prComplete, "123456789.50"},
        {amount, "1234567890", false, prError, "1234567890"},
        {amount, "12.345", false, prError, "12.345"},
        {amount, "1.a", false, prError, "1.a"},
    });
}

TEST(VxpictTest, AutoFillAppendsAndBlankBecomesLiteral)
{
    CheckCases({
        {"###-####", "123", true, prIncomplete, "123-"},
        {"###-####", "123", false, prIncomplete, "123"},
        {"###-####", "123 ", false, prIncomplete, "123-"},
        {"###-####", "12 ", true, prError, "12 "},
        {"###-####", "123-4567", true, prComplete, "123-4567"},
        {"(###) ###-####", "(555", true, prIncomplete, "(555) "},
        {"##/##/##", "12/3", true, prIncomplete, "12/3"},
        {"##;*##", "12", true, prIncomplete, "12*"},
        {"###-", "123", true, prComplete, "123-"},
    });
}

TEST(VxpictTest, CountsRepetitionsAndAlternatives)
{
    CheckCases({
        {"*3#", "12", false, prIncomplete, "12"},
        {"*3#", "123", false, prComplete, "123"},
        {"*3#", "1234", false, prError, "1234"},
        {"*&", "abc", false, prComplete, "ABC"},
        {"*#x", "12x", false, prComplete, "12x"},
        {"{##,#}", "1", false, prComplete, "1"},
        {"{##,#}", "12", false, prComplete, "12"},
        // The first alternative that completes is taken: a shorter one first leaves characters over.
        {"{#,##}", "12", false, prError, "12"},
        {"{AB,AC}", "ac", false, prComplete, "AC"},
        {"#,?", "a", false, prComplete, "a"},
        {"*2[#]", "12", false, prComplete, "12"},
    });
}

TEST(VxpictTest, BadMasks)
{
    for (const std::string mask : {"", "##;", "##*", "[#", "#]", "{#", "#}}"}) {
        TvxPictureValidator validator(mask, false);
        std::string text = "1";
        EXPECT_EQ(validator.Check(text, false), prBadMask) << mask;
        EXPECT_EQ(validator.Status, 1) << mask;
        EXPECT_FALSE(validator.IsValidText("1")) << mask;
        EXPECT_TRUE(validator.AcceptsInput(text, false)) << mask;
    }
    TvxPictureValidator escaped("##;*", false);
    EXPECT_EQ(escaped.Status, 0);
    TvxPictureValidator escapedBracket("#;[", false);
    EXPECT_EQ(escapedBracket.Status, 0);
}

TEST(VxpictTest, AcceptsInputAndIsValidText)
{
    TvxPictureValidator validator("###-####", true);
    std::string text = "123";
    EXPECT_TRUE(validator.AcceptsInput(text, false));
    EXPECT_EQ(text, "123-");
    text = "123";
    EXPECT_TRUE(validator.AcceptsInput(text, true));
    EXPECT_EQ(text, "123");
    text = "12a";
    EXPECT_FALSE(validator.AcceptsInput(text, false));
    EXPECT_TRUE(validator.IsValidText(""));
    EXPECT_TRUE(validator.IsValidText("123-4567"));
    EXPECT_FALSE(validator.IsValidText("123"));
}

}  // namespace
