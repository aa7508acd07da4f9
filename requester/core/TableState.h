#pragma once
// The records and key indexes of one record file as one client sees them: the trees of one commit of the file,
// read through its pages, and changed (in a commit being built) by applying change entries.
#include "requester/core/FileFormat.h"
#include "requester/core/KeyIndex.h"
#include "requester/core/RecordStore.h"
#include "requester/core/Schema.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace reqcore {

// One key value of a record: the index entry form (normalized value, place among duplicates) and its position.
struct IndexEntry {
  std::string key;
  uint32_t position = 0;
};

// The file definition as it is kept in its chain: the entries that define the file, key and collating sequences.
std::string EncodeDefinition(const Schema& schema);

class TableState {
 public:
  explicit TableState(PageFile& file) : file_(file), records(file, meta_.records) {}
  TableState(const TableState&) = delete;

  Schema schema;
  uint32_t nextPosition = 1;
  uint64_t nextSeq = 1;

  // Takes the commit meta names (reading the definition again when it changed). Throws PageMismatch.
  void Load(const Meta& meta);
  void Clear();
  // In a commit being built (every read throws PageMismatch on a page that does not check).
  void Apply(const LogEntry& entry);
  // The meta of the state as changed: a changed definition is written to a new chain.
  Meta Changed();

  std::optional<Record> Find(uint32_t position) const { return records.Find(position); }
  // A record an index names: its absence is damage.
  Record Get(uint32_t position) const;
  const KeyIndex& Index(uint8_t key) const { return indexes_.at(key); }
  std::string Normalize(const KeyDef& key, std::string_view rawKey) const;
  // The index entry of a record in key.
  IndexEntry EntryOf(const KeyDef& key, uint32_t position, const Record& record) const;
  // A record other than position whose value of key normalizes to norm; 0 when none.
  uint32_t FindDuplicate(const KeyDef& key, const std::string& norm, uint32_t position) const;

 private:
  PageFile& file_;
  Meta meta_;

 public:
  RecordStore records;

 private:
  void Bind();
  void AddEntries(uint32_t position, const Record& record);
  void RemoveEntries(uint32_t position, const Record& record);
  void AddKey(const KeyAddEntry& entry);
  void DropKey(uint8_t number);
  void Put(const PutEntry& entry);
  void Delete(uint32_t position);

  std::map<uint8_t, KeyIndex> indexes_;
  bool definitionChanged_ = false;
};

}  // namespace reqcore
