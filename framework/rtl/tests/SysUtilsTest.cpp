#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

TEST(Trim, RemovesBlanksAndControlCharactersOnly)
{
    struct Case { std::string in, both, left, right; };
    const Case cases[] = {
        {"", "", "", ""},
        {"   ", "", "", ""},
        {" a b ", "a b", "a b ", " a b"},
        {"\t\r\nx\x01", "x", "x\x01", "\t\r\nx"},
        {"\xA0y\xA0", "\xA0y\xA0", "\xA0y\xA0", "\xA0y\xA0"},  // no-break space is a character
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Trim(c.in), c.both) << c.in;
        EXPECT_EQ(TrimLeft(c.in), c.left) << c.in;
        EXPECT_EQ(TrimRight(c.in), c.right) << c.in;
    }
}
