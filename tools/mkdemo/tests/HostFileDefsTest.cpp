// Key sources and the create requests made from them.
#include <gtest/gtest.h>

#include "tools/mkdemo/HostFileDefs.h"

namespace {

const std::string Layouts = R"(
layout SMALL record 20
| 1 | `Auto` | autoincrement | 0 | 4 |
| 2 | `Code` | string | 4 | 7 |
| 3 | `Name` | string | 11 | 5 |
| 4 | `Amount` | decimal 2 | 16 | 4 |
)";

std::string KeysError(const std::string& keys)
{
    try {
        THostFileDefs defs(Layouts, keys);
    } catch (const Layoutc::ELayoutError& e) {
        return e.what();
    }
    return "<accepted>";
}

uint16_t Word16(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint16_t(bytes[at] | bytes[at + 1] << 8);
}

TEST(HostFileDefs, FaultyKeySourcesNameTheirLine)
{
    const std::pair<std::string, std::string> cases[] = {
        {"file a.qf : NONE\n", "HostFiles.keys:1: unknown layout \"NONE\""},
        {"file a.qf : SMALL\n\nkey 1 dup : Code, Nome\n", "HostFiles.keys:3: layout SMALL has no field \"Nome\""},
        {"file a.qf : SMALL\nkey 1 : Code\nkey 1 dup : Name\n", "HostFiles.keys:3: key 1 is defined twice"},
        {"key 0 unique : Auto\n", "HostFiles.keys:1: key line outside a file"},
        {"file a.qf : SMALL\nkey 0 sorted : Auto\n", "HostFiles.keys:2: unknown key flag \"sorted\""},
        {"file a.qf SMALL\n", "HostFiles.keys:1: expected \":\""},
    };
    for (const auto& [keys, message] : cases) EXPECT_EQ(KeysError(keys), message);
}

TEST(HostFileDefs, CreateRequestNumbersKeysAndMarksTheirSegments)
{
    THostFileDefs defs(Layouts, "file a.qf b.qf : SMALL  # two files\nkey 0 unique : Auto\n"
                                "key 4 dup ci : Name, Amount, Code\n");
    const std::vector<uint8_t> spec = CreateSpecification(defs.ForFile("B.QF"));
    ASSERT_EQ(spec.size(), 16u * 5);
    EXPECT_EQ(Word16(spec, 0), 20);       // record length
    EXPECT_EQ(Word16(spec, 4), 2);        // keys
    EXPECT_EQ(Word16(spec, 10), 0x0400);  // key numbers given
    struct Segment {
        uint16_t Position, Length, Flags;
        uint8_t Type, Key;
    };
    const Segment segments[] = {
        {1, 4, 0x0100, 15, 0},
        {12, 5, 0x0100 | 0x0400 | 0x0010 | 0x0002 | 0x0001, 0, 4},
        {17, 4, 0x0100 | 0x0010 | 0x0002 | 0x0001, 5, 4},
        {5, 7, 0x0100 | 0x0400 | 0x0002 | 0x0001, 0, 4},
    };
    for (size_t i = 0; i < std::size(segments); ++i) {
        const size_t at = 16 * (i + 1);
        EXPECT_EQ(Word16(spec, at), segments[i].Position) << i;
        EXPECT_EQ(Word16(spec, at + 2), segments[i].Length) << i;
        EXPECT_EQ(Word16(spec, at + 4), segments[i].Flags) << i;
        EXPECT_EQ(spec[at + 10], segments[i].Type) << i;
        EXPECT_EQ(spec[at + 14], segments[i].Key) << i;
    }
}

}  // namespace

namespace {

TEST(HostFileDefs, ButilDescriptionOfAFile)
{
    THostFileDefs defs(Layouts, "file a.qf : SMALL\nkey 0 unique : Auto\nkey 4 dup ci : Name, Amount\n");
    EXPECT_EQ(ButilDescription(defs.ForFile("a.qf")),
              "# a.qf (SMALL)\n"
              "record length 20\n"
              "page size 4096\n"
              "key 0\n"
              "  segment position 1 length 4 type autoincrement\n"
              "key 4 duplicates modifiable\n"
              "  segment position 12 length 5 type string case-insensitive\n"
              "  segment position 17 length 4 type decimal\n");
}

}  // namespace
