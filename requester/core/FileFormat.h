#pragma once
// The change entries of a record file: what a write applies to the file's trees, and (file definition, collating
// sequences, keys) the form the definition is kept in. Each encoded entry is its length, type, body and a checksum
// of length and body.
#include "requester/core/Schema.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace reqcore {

// Entries.
struct FileDefEntry {
  uint16_t recordLength, pageSize, fileFlags;
};
struct CollatingEntry {
  CollatingSequence table;
};
struct KeyAddEntry {
  KeyDef key;
  uint64_t baseSeq;  // sequence numbers given to existing records, in order of position
};
struct KeyDropEntry {
  uint8_t number;
};
struct PutEntry {
  uint32_t position;
  uint64_t version;
  std::vector<std::pair<uint8_t, uint64_t>> seqs;  // per key number: the place among duplicates
  std::string data;
};
struct DeleteEntry {
  uint32_t position;
};
using LogEntry = std::variant<FileDefEntry, CollatingEntry, KeyAddEntry, KeyDropEntry, PutEntry, DeleteEntry>;

void AppendEntry(std::string& out, const LogEntry& entry);
// Decodes the whole entries at the start of bytes one by one and returns the bytes they take; an entry cut off at
// the end is left for the next call. damaged is set when an entry's checksum or contents are wrong, or apply
// refuses the entry (returns false).
size_t DecodeEntries(std::string_view bytes, const std::function<bool(LogEntry&&)>& apply, bool& damaged);

}  // namespace reqcore
