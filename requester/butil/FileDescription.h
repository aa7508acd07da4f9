#pragma once
// A record file's specification as the maintenance tool reads and writes it: the readable form of the
// create/stat layout.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace butil {

struct SegmentDescription {
  uint16_t position = 0;  // 1-based
  uint16_t length = 0;
  uint8_t type = 0;       // extended key type
  bool descending = false;
  bool caseInsensitive = false;
  int collating = -1;     // index into FileDescription::collating, -1 for none
};

struct KeyDescription {
  int number = 0;
  bool duplicates = false;
  bool modifiable = false;
  bool supplemental = false;  // stat only
  std::vector<SegmentDescription> segments;
};

struct CollatingSequence {
  std::string name;  // at most 8 characters
  std::array<uint8_t, 256> table{};
};

struct FileDescription {
  uint16_t recordLength = 0;
  uint16_t pageSize = 0;
  bool variableLength = false;
  uint32_t recordCount = 0;  // stat only
  std::vector<KeyDescription> keys;
  std::vector<CollatingSequence> collating;
};

}  // namespace butil
