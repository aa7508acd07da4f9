#pragma once
// Records as text: one record a line, each byte as two hexadecimal digits.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace butil {

std::string RecordToHexLine(const uint8_t* record, size_t length);

// The record of a hex line (digits of either case, blanks ignored); nothing when the line is not hex bytes.
std::optional<std::vector<uint8_t>> RecordFromHexLine(const std::string& line);

// Lines that hold no record: empty, blank or a comment starting with '#'.
bool IsRecordLine(const std::string& line);

}  // namespace butil
