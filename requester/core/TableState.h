#pragma once
// The records and key indexes of one record file as one client sees them, built by applying log entries.
#include "requester/core/FileFormat.h"
#include "requester/core/KeyIndex.h"
#include "requester/core/RecordStore.h"
#include "requester/core/Schema.h"

#include <cstdint>
#include <map>
#include <string>

namespace reqcore {

// One key value of a record: the index entry form (normalized value, place among duplicates) and its position.
struct IndexEntry {
  std::string key;
  uint32_t position = 0;
};

class TableState {
 public:
  Schema schema;
  RecordStore records;
  std::map<uint8_t, KeyIndex> indexes;
  uint32_t nextPosition = 1;
  uint64_t nextSeq = 1;

  void Apply(const LogEntry& entry);
  // Whether an entry read from the file fits the state it applies to (the file definition, key definitions and
  // record lengths); one that does not is damage.
  bool Accepts(const LogEntry& entry) const;
  void Clear();
  // While loading a whole log, indexes are built once at the end instead of entry by entry.
  void BeginBulk() { bulk_ = true; }
  void EndBulk();
  const Record* Find(uint32_t position) const { return records.Find(position); }
  const KeyIndex& Index(uint8_t key) const { return indexes.at(key); }
  std::string Normalize(const KeyDef& key, std::string_view rawKey) const;
  // The index entry of a record in key.
  IndexEntry EntryOf(const KeyDef& key, uint32_t position, const Record& record) const;
  // A record other than position whose value of key normalizes to norm; 0 when none.
  uint32_t FindDuplicate(const KeyDef& key, const std::string& norm, uint32_t position) const;

 private:
  void AddEntries(uint32_t position, const Record& record);
  void RemoveEntries(uint32_t position, const Record& record);
  void AddKey(const KeyAddEntry& entry);
  void DropKey(uint8_t number);
  void Put(const PutEntry& entry);
  void Delete(uint32_t position);

  bool bulk_ = false;
};

}  // namespace reqcore
