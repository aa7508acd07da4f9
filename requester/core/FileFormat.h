#pragma once
// The on-disk form of a record file: a header with two commit slots, then a log of checksummed entries. A change
// appends entries after the committed end and then writes the older commit slot (counter, end, counters of
// positions and sequence numbers, checksum); readers trust only the slot with the highest counter, so a write cut
// short anywhere leaves the file as it was after the last commit. A slot that is neither valid nor unwritten is
// damage, never a reason to fall back silently to the other one.
#include "requester/core/Schema.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace reqcore {

constexpr uint64_t HeaderSize = 256;
constexpr char FileMagic[8] = {'D', 'U', 'N', 'R', 'E', 'C', '0', '2'};
constexpr char OldFileMagic[8] = {'D', 'U', 'N', 'R', 'E', 'C', '0', '1'};

struct CommitSlot {
  uint64_t counter = 0;
  uint64_t start = HeaderSize;  // the committed log is [start, end)
  uint64_t end = HeaderSize;
  uint32_t nextPosition = 1;
  uint64_t nextSeq = 1;
};

// Encodes the header bytes 0..HeaderSize with one slot filled (the other zero).
std::string EncodeHeader(const CommitSlot& slot);
uint64_t SlotOffset(uint64_t counter);
std::string EncodeSlot(const CommitSlot& slot);
// The slot at offset 64 or 128 of a header, when it is valid.
std::optional<CommitSlot> DecodeSlotAt(std::string_view header, uint64_t offset);
struct HeaderState {
  enum class Kind { Good, NotRecordFile, OldFormat, Damaged };
  Kind kind = Kind::NotRecordFile;
  CommitSlot slot;  // the newest slot, when Good
};
// What the first bytes of a file (HeaderSize or fewer when the file is shorter) say about it.
HeaderState DecodeHeader(std::string_view header);

// Log entries.
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
