#pragma once
// The layout of one record file: record length, keys and their segments, alternate collating sequences.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace reqcore {

using CollatingSequence = std::array<uint8_t, 265>;  // signature, 8-byte name, 256-byte translation table

struct Segment {
  uint16_t offset = 0;  // 0-based place in the record
  uint16_t length = 0;
  uint16_t flags = 0;   // as given, without the "another segment follows" and "supplemental" bits
  uint8_t type = 0;     // extended type; string when the extended-type flag is clear
  uint8_t nullValue = 0;
  uint8_t collating = 0;
};

struct KeyDef {
  uint8_t number = 0;
  bool supplemental = false;
  std::vector<Segment> segments;

  bool Duplicates() const;
  bool Modifiable() const;
  uint16_t RawLength() const;  // bytes of the key value in a key buffer
};

struct Schema {
  uint16_t recordLength = 0;
  uint16_t pageSize = 0;
  uint16_t fileFlags = 0;
  std::vector<CollatingSequence> collating;
  std::map<uint8_t, KeyDef> keys;  // by key number

  bool VariableLength() const;
  const KeyDef* Key(int number) const;
};

// The key value of a record as it stands in a key buffer: the segments' bytes one after another.
std::string RawKey(const KeyDef& key, std::string_view record);
// A byte string whose plain byte order is the key order (type, case, collating sequence and direction applied),
// made from a key value in key-buffer form.
std::string NormalizeKey(const Schema& schema, const KeyDef& key, std::string_view rawKey);

}  // namespace reqcore
