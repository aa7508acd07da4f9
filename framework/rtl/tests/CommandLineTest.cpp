#include "rtl/CommandLine.h"

#include <gtest/gtest.h>

#include "rtl/FileUtils.h"

namespace {

using Words = std::vector<std::string>;

TEST(CommandLineTest, SplitsLikeThePlatform)
{
    struct Case { const char* line; Words words; };
    const Case cases[] = {
        {"prog.exe", {"prog.exe"}},
        {"prog.exe a  b\tc", {"prog.exe", "a", "b", "c"}},
        {"\"c:\\my dir\\prog.exe\" /x", {"c:\\my dir\\prog.exe", "/x"}},
        {"p \"a b\" c", {"p", "a b", "c"}},
        {"p a\"b c\"d", {"p", "ab cd"}},
        {"p \"a\"\"b\"", {"p", "ab"}},
        {"p \"\" x", {"p", "x"}},          // an empty quoted parameter is skipped
        {"p \"unclosed text", {"p", "unclosed text"}},
        {"p a\\\"b\"", {"p", "a\\b"}},     // no backslash escapes
        {"p a \"\"\"\" b", {"p", "a", "b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(CommandLineTest, ParamStrZeroIsThisProgram)
{
    EXPECT_EQ(ExtractFileName(ParamStr(0)), "rtl_tests.exe");
    EXPECT_GE(ParamCount(), 0);
    EXPECT_EQ(ParamStr(ParamCount() + 1), "");
    EXPECT_EQ(ParamStr(-1), "");
}

}  // namespace
