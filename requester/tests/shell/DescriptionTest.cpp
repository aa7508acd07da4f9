// The maintenance tool's description files, create/stat layout and record text.
#include <gtest/gtest.h>

#include "requester/butil/DescriptionParser.h"
#include "requester/butil/DescriptionWriter.h"
#include "requester/butil/RecordText.h"
#include "requester/butil/SpecLayout.h"

namespace {

using butil::DescriptionError;
using butil::ParseDescription;

std::string IdentityTableHex() {
  std::string hex;
  for (int value = 0; value < 256; ++value) {
    static const char digits[] = "0123456789abcdef";
    hex += digits[value >> 4];
    hex += digits[value & 15];
    if (value % 32 == 31) hex += "\n";
  }
  return hex;
}

// Keys out of order with a gap in their numbers, several segments, a collating sequence.
const std::string kCaseDescription =
    "# cases\n"
    "record length 120\n"
    "page size 4096\n"
    "variable length\n"
    "key 3 duplicates   # by name\n"
    "  segment position 20 length 30 type string collating Upper\n"
    "key 0 modifiable\n"
    "  segment position 1 length 7 type string case-insensitive\n"
    "  segment position 8 length 4 type INTEGER descending\n"
    "collating UPPER\n" +
    IdentityTableHex();

uint16_t U16(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

TEST(Description, ParsesKeysSegmentsAndCollating) {
  const butil::FileDescription description = ParseDescription(kCaseDescription);
  EXPECT_EQ(description.recordLength, 120);
  EXPECT_EQ(description.pageSize, 4096);
  EXPECT_TRUE(description.variableLength);
  ASSERT_EQ(description.keys.size(), 2u);
  EXPECT_EQ(description.keys[0].number, 3);
  EXPECT_TRUE(description.keys[0].duplicates);
  EXPECT_EQ(description.keys[0].segments[0].collating, 0);
  EXPECT_EQ(description.keys[1].number, 0);
  ASSERT_EQ(description.keys[1].segments.size(), 2u);
  EXPECT_TRUE(description.keys[1].segments[0].caseInsensitive);
  EXPECT_EQ(description.keys[1].segments[1].type, 1);
  EXPECT_TRUE(description.keys[1].segments[1].descending);
  ASSERT_EQ(description.collating.size(), 1u);
  EXPECT_EQ(description.collating[0].table[0xAB], 0xAB);
}

TEST(Description, KeysWithoutNumberFollowThePreviousKey) {
  const auto description = ParseDescription(
      "record length 10\npage size 512\n"
      "key\n segment position 1 length 2 type unsigned\n"
      "key 5\n segment position 3 length 2 type 14\n"
      "key\n segment position 5 length 2 type autoincrement\n");
  ASSERT_EQ(description.keys.size(), 3u);
  EXPECT_EQ(description.keys[0].number, 0);
  EXPECT_EQ(description.keys[1].number, 5);
  EXPECT_EQ(description.keys[1].segments[0].type, 14);
  EXPECT_EQ(description.keys[2].number, 6);
}

TEST(Description, RefusesFaultyTextNamingTheLine) {
  const std::string head = "record length 10\npage size 512\n";
  struct Case {
    std::string text;
    int line;
  };
  const Case cases[] = {
      {"page size 512\n", 0},                                                    // no record length
      {"record length 10\n", 0},                                                 // no page size
      {"record length 70000\n", 1},                                              // out of range
      {"record length ten\n", 1},
      {head + "colour blue\n", 3},
      {head + "segment position 1 length 2 type string\n", 3},                   // before any key
      {head + "key\n segment position 1 length 2\n", 4},                         // no type
      {head + "key\n segment position 1 length 2 type text\n", 4},
      {head + "key\n segment position 1 length 2 type string upward\n", 4},
      {head + "key unique\n", 3},
      {head + "key 1\n segment position 1 length 2 type string\nkey 1\n", 5},    // number twice
      {head + "key\n", 0},                                                       // key without segment
      {head + "key\n segment position 1 length 2 type string collating none\n", 4},
      {head + "collating toolongname\n", 3},
      {head + "collating abc 0001\nkey\n", 3},                                   // table of 2 bytes
      {head + "collating abc\n" + IdentityTableHex() + "00\n", 12},              // 257 bytes
      {head + "collating abc 0\n", 3},                                           // odd digits
  };
  for (const Case& fault : cases) {
    try {
      ParseDescription(fault.text);
      ADD_FAILURE() << "accepted:\n" << fault.text;
    } catch (const DescriptionError& error) {
      EXPECT_EQ(error.Line(), fault.line) << error.what() << "\n" << fault.text;
    }
  }
}

TEST(SpecLayout, EncodesKeysInNumberOrderWithTheirFlags) {
  const std::vector<uint8_t> spec = butil::EncodeCreateSpec(ParseDescription(kCaseDescription));
  ASSERT_EQ(spec.size(), 16u + 3 * 16 + 265);
  EXPECT_EQ(U16(spec, 0), 120);
  EXPECT_EQ(U16(spec, 2), 4096);
  EXPECT_EQ(U16(spec, 4), 2);                 // keys, not segments
  EXPECT_EQ(U16(spec, 6) | U16(spec, 8), 0);  // no records at create
  EXPECT_EQ(U16(spec, 10), 0x0401);           // variable length, key numbers given (0 and 3)
  // key 0 first: two segments, the first marked as followed by another
  EXPECT_EQ(U16(spec, 16), 1);
  EXPECT_EQ(U16(spec, 18), 7);
  EXPECT_EQ(U16(spec, 20), 0x0100 | 0x0002 | 0x0010 | 0x0400);
  EXPECT_EQ(spec[16 + 10], 0);
  EXPECT_EQ(U16(spec, 36), 0x0100 | 0x0002 | 0x0040);
  EXPECT_EQ(spec[32 + 10], 1);
  EXPECT_EQ(spec[32 + 14], 0);
  // key 3
  EXPECT_EQ(U16(spec, 48), 20);
  EXPECT_EQ(U16(spec, 52), 0x0100 | 0x0001 | 0x0020);
  EXPECT_EQ(spec[48 + 14], 3);
  EXPECT_EQ(spec[48 + 15], 0);
  // the collating sequence
  EXPECT_EQ(spec[64], 0xAC);
  EXPECT_EQ(std::string(spec.begin() + 65, spec.begin() + 73), "UPPER   ");
  EXPECT_EQ(spec[73 + 200], 200);
}

TEST(SpecLayout, KeysNumberedInSequenceNeedNoKeyNumberFlag) {
  const auto spec = butil::EncodeCreateSpec(
      ParseDescription("record length 10\npage size 512\nkey 1\n segment position 3 length 2 type string\n"
                       "key 0\n segment position 1 length 2 type string\n"));
  EXPECT_EQ(U16(spec, 10), 0);
  EXPECT_EQ(U16(spec, 16), 1);  // key 0 comes first
}

TEST(Description, StatReplyReadsBackAsTheSameDescription) {
  std::vector<uint8_t> reply = butil::EncodeCreateSpec(ParseDescription(kCaseDescription));
  reply[6] = 0x39;  // 12345 records
  reply[7] = 0x30;
  reply[20] |= 0x80;  // key 0 is supplemental
  const std::string text = butil::FormatDescription(butil::DecodeStatReply(reply.data(), reply.size()));
  EXPECT_EQ(text,
            "# records 12345\n"
            "record length 120\n"
            "page size 4096\n"
            "variable length\n"
            "key 0 modifiable  # supplemental\n"
            "  segment position 1 length 7 type string case-insensitive\n"
            "  segment position 8 length 4 type integer descending\n"
            "key 3 duplicates\n"
            "  segment position 20 length 30 type string collating UPPER\n"
            "collating UPPER\n" +
                [] {
                  std::string upper = IdentityTableHex();
                  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                  std::string indented;
                  for (size_t at = 0; at < upper.size(); at += 65) indented += "  " + upper.substr(at, 65);
                  return indented;
                }());
  EXPECT_EQ(butil::EncodeCreateSpec(ParseDescription(text)),
            butil::EncodeCreateSpec(ParseDescription(kCaseDescription)));
}

TEST(RecordText, HexLinesRoundTripEveryByte) {
  std::vector<uint8_t> record;
  for (int value = 255; value >= 0; --value) record.push_back(static_cast<uint8_t>(value));
  const std::string line = butil::RecordToHexLine(record.data(), record.size());
  EXPECT_EQ(line.substr(0, 6), "FFFEFD");
  EXPECT_EQ(butil::RecordFromHexLine(line), record);
  EXPECT_EQ(butil::RecordFromHexLine("0a 0B\t1c"), (std::vector<uint8_t>{0x0A, 0x0B, 0x1C}));
  EXPECT_FALSE(butil::RecordFromHexLine("ABC"));
  EXPECT_FALSE(butil::RecordFromHexLine("AG"));
  EXPECT_TRUE(butil::IsRecordLine(" 00"));
  EXPECT_FALSE(butil::IsRecordLine("  # 00"));
  EXPECT_FALSE(butil::IsRecordLine(" \t"));
}

}  // namespace
