#pragma once
// The records and key indexes of one record file as one client sees them, built by applying log entries.
#include "requester/core/FileFormat.h"
#include "requester/core/Schema.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace reqcore {

struct Record {
  uint64_t version = 0;  // sequence number of the write that made this form of the record
  std::vector<std::pair<uint8_t, uint64_t>> seqs;
  std::string data;

  uint64_t SeqOf(uint8_t key) const;
};

// One key value in an index: normalized key, then its place among duplicates.
struct IndexEntry {
  std::string norm;
  uint64_t seq = 0;
  uint32_t position = 0;

  bool operator<(const IndexEntry& other) const {
    int c = norm.compare(other.norm);
    return c != 0 ? c < 0 : seq < other.seq;
  }
};

using Index = std::set<IndexEntry>;

class TableState {
 public:
  Schema schema;
  std::map<uint32_t, Record> records;
  std::map<uint8_t, Index> indexes;
  uint32_t nextPosition = 1;
  uint64_t nextSeq = 1;

  void Apply(const LogEntry& entry);
  const Record* Find(uint32_t position) const;
  // The index entry of a record in key.
  IndexEntry EntryOf(const KeyDef& key, uint32_t position, const Record& record) const;
  std::string Normalize(const KeyDef& key, std::string_view rawKey) const;
  // The record whose key value in key equals norm, other than position; 0 when none.
  uint32_t FindDuplicate(const KeyDef& key, const std::string& norm, uint32_t position) const;

 private:
  void AddEntries(uint32_t position, const Record& record);
  void RemoveEntries(uint32_t position, const Record& record);
  void AddKey(const KeyAddEntry& entry);
  void DropKey(uint8_t number);
  void Put(const PutEntry& entry);
  void Delete(uint32_t position);
};

}  // namespace reqcore
