#include "requester/butil/RecordText.h"

#include <cctype>

namespace butil {

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(unsigned char c) {
  if (std::isdigit(c)) return c - '0';
  if (std::isxdigit(c)) return std::tolower(c) - 'a' + 10;
  return -1;
}
}  // namespace

std::string RecordToHexLine(const uint8_t* record, size_t length) {
  std::string line;
  line.reserve(length * 2);
  for (size_t index = 0; index < length; ++index) {
    line += kHexDigits[record[index] >> 4];
    line += kHexDigits[record[index] & 0x0F];
  }
  return line;
}

std::optional<std::vector<uint8_t>> RecordFromHexLine(const std::string& line) {
  std::vector<uint8_t> record;
  int high = -1;
  for (const unsigned char c : line) {
    if (std::isspace(c)) continue;
    const int value = HexValue(c);
    if (value < 0) return std::nullopt;
    if (high < 0) {
      high = value;
    } else {
      record.push_back(static_cast<uint8_t>(high * 16 + value));
      high = -1;
    }
  }
  if (high >= 0) return std::nullopt;
  return record;
}

bool IsRecordLine(const std::string& line) {
  for (const unsigned char c : line) {
    if (c == '#') return false;
    if (!std::isspace(c)) return true;
  }
  return false;
}

}  // namespace butil
