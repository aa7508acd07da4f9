// The layout compiler: the source format, its checks and the resource bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/layoutc/LayoutResource.h"
#include "tools/layoutc/LayoutSource.h"

using namespace Layoutc;

namespace {

const char* const TwoFields = R"(# two fields
layout NOTES record 11
| no | field | kind | offset | length |
|---|---|---|---|---|
| 1 | `AutoIncrement` | autoincrement | 0 | 4 |
| 2 | `Client Code` | string | 4 | 7 |
)";

std::string ErrorOf(const std::string& text)
{
    try {
        ParseLayouts(text, "x.layout");
    } catch (const ELayoutError& e) {
        return e.what();
    }
    return "";
}

std::string Layout(const std::string& header, const std::string& rows) { return header + "\n" + rows; }

TEST(LayoutcTest, ReadsLayoutsWithTheirFields)
{
    const std::vector<TLayout> layouts = ParseLayouts(
            std::string(TwoFields) + "\nlayout EMP record 12\n| 1 | a | integer | 0 | 2 |\n"
            "| 2 | `Sys\\Cut Date` | date | 2 | 4 |\n| 3 | `Fee $` | decimal 2 | 6 | 6 |\n",
            "x.layout");
    ASSERT_EQ(layouts.size(), 2u);
    EXPECT_EQ(layouts[0].Name, "NOTES");
    EXPECT_EQ(layouts[0].RecordLength, 11);
    ASSERT_EQ(layouts[1].Fields.size(), 3u);
    EXPECT_EQ(layouts[1].Fields[1].Name, "Sys\\Cut Date");
    EXPECT_EQ(layouts[1].Fields[2].Kind, TKind::Decimal);
    EXPECT_EQ(layouts[1].Fields[2].Decimals, 2);
}

TEST(LayoutcTest, ResourceBytesFollowTheFormat)
{
    const std::vector<uint8_t> bytes = ResourceBytes(ParseLayouts(TwoFields, "x.layout")[0]);
    std::vector<uint8_t> expected = {5, 'N', 'O', 'T', 'E', 'S', '0', '0', '0', '2', 0};
    const std::vector<uint8_t> autoInc = {1, 0, 13, 'A', 'u', 't', 'o', 'I', 'n', 'c', 'r', 'e', 'm', 'e', 'n', 't',
                                          6, 0, 29, 0, 4, 0, 0, 0, 0, 0, 4, 0, 15, 0, 4, 0};
    const std::vector<uint8_t> code = {2, 0, 11, 'C', 'l', 'i', 'e', 'n', 't', ' ', 'C', 'o', 'd', 'e',
                                       1, 0, 0, 0, 7, 0, 0, 0, 4, 0, 7, 0, 0, 0, 7, 0};
    expected.insert(expected.end(), autoInc.begin(), autoInc.end());
    expected.insert(expected.end(), code.begin(), code.end());
    expected.insert(expected.end(), {'A', 'B', 'C', 'D', 0});
    EXPECT_EQ(bytes, expected);
}

TEST(LayoutcTest, RefusesFaultyLayoutsNamingTheLine)
{
    const std::string header = "layout T record 6";
    struct TCase {
        std::string Text;
        std::string Message;
    };
    const TCase cases[] = {
        {Layout(header, "| 1 | a | string | 0 | 2 |\n| 2 | b | string | 3 | 3 |\n"), "x.layout:3: field b at offset 3"},
        {Layout(header, "| 1 | a | string | 0 | 4 |\n| 2 | b | string | 2 | 2 |\n"), "expected 4"},
        {Layout(header, "| 1 | a | string | 0 | 4 |\n| 3 | b | string | 4 | 2 |\n"), "field 2 expected"},
        {Layout(header, "| 1 | a | string | 0 | 4 |\n"), "x.layout:1: layout T: the fields end at 4"},
        {Layout(header, "| 1 | a | integer | 0 | 6 |\n"), "does not fit its kind"},
        {Layout(header, "| 1 | a | decimal 6 | 0 | 3 |\n| 2 | b | string | 3 | 3 |\n"), "does not fit its kind"},
        {Layout(header, "| 1 | a | money | 0 | 6 |\n"), "unknown kind"},
        {Layout(header, "| 1 | a | string | 0 | 3 |\n| 2 | A | string | 3 | 3 |\n"), "used twice"},
        {Layout(header, "| 1 | a | string | 0 | x6 |\n"), "bad length"},
        {"| 1 | a | string | 0 | 6 |\n", "outside a layout"},
        {"layout T\n", "expected: layout NAME record LENGTH"},
        {"layout T record 1\n", "has no fields"},
        {Layout(header, "| 1 | a | string | 0 | 6 |\nlayout t record 1\n| 1 | a | string | 0 | 1 |\n"),
         "defined twice"},
    };
    for (const TCase& c : cases) {
        const std::string error = ErrorOf(c.Text);
        EXPECT_NE(error.find(c.Message), std::string::npos) << c.Text << "\ngave: " << error;
    }
}

}  // namespace
