#include "rtl/CodePages.h"

#include <gtest/gtest.h>

TEST(CodePages, ConvertBetweenAnsiAndOem)
{
    struct Case { std::string ansi, oem; };
    const Case cases[] = {
        {"", ""},
        {"Plain 123", "Plain 123"},
        {"caf\xE9 \xFC\xC4", "caf\x82 \x81\x8E"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},  // buffers convert past NUL bytes
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CharToOemString(c.ansi), c.oem) << c.ansi;
        EXPECT_EQ(OemToCharString(c.oem), c.ansi) << c.ansi;
    }
    char buffer[] = "\xE9t\xE9";
    CharToOemBuffer(buffer, buffer, 2);
    EXPECT_EQ(std::string(buffer), "\x82t\xE9");
    OemToCharBuffer(buffer, buffer, 1);
    EXPECT_EQ(std::string(buffer), "\xE9t\xE9");
}
