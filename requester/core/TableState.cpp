#include "requester/core/TableState.h"

#include <algorithm>

namespace reqcore {

uint64_t Record::SeqOf(uint8_t key) const {
  for (const auto& [k, seq] : seqs)
    if (k == key) return seq;
  return version;
}

namespace {
template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
}  // namespace

void TableState::Apply(const LogEntry& entry) {
  std::visit(Overloaded{
                 [&](const FileDefEntry& e) {
                   schema.recordLength = e.recordLength;
                   schema.pageSize = e.pageSize;
                   schema.fileFlags = e.fileFlags;
                 },
                 [&](const CollatingEntry& e) { schema.collating.push_back(e.table); },
                 [&](const KeyAddEntry& e) { AddKey(e); },
                 [&](const KeyDropEntry& e) { DropKey(e.number); },
                 [&](const PutEntry& e) { Put(e); },
                 [&](const DeleteEntry& e) { Delete(e.position); },
             },
             entry);
}

const Record* TableState::Find(uint32_t position) const {
  auto it = records.find(position);
  return it == records.end() ? nullptr : &it->second;
}

std::string TableState::Normalize(const KeyDef& key, std::string_view rawKey) const {
  return NormalizeKey(schema, key, rawKey);
}

IndexEntry TableState::EntryOf(const KeyDef& key, uint32_t position, const Record& record) const {
  return IndexEntry{Normalize(key, RawKey(key, record.data)), record.SeqOf(key.number), position};
}

uint32_t TableState::FindDuplicate(const KeyDef& key, const std::string& norm, uint32_t position) const {
  auto it = indexes.find(key.number);
  if (it == indexes.end()) return 0;
  for (auto e = it->second.lower_bound(IndexEntry{norm, 0, 0}); e != it->second.end() && e->norm == norm; ++e)
    if (e->position != position) return e->position;
  return 0;
}

void TableState::AddEntries(uint32_t position, const Record& record) {
  for (const auto& [number, key] : schema.keys) indexes[number].insert(EntryOf(key, position, record));
}

void TableState::RemoveEntries(uint32_t position, const Record& record) {
  for (const auto& [number, key] : schema.keys) indexes[number].erase(EntryOf(key, position, record));
}

void TableState::AddKey(const KeyAddEntry& entry) {
  const KeyDef& key = schema.keys[entry.key.number] = entry.key;
  Index& index = indexes[key.number];
  index.clear();
  uint64_t seq = entry.baseSeq;
  for (auto& [position, record] : records) {
    std::erase_if(record.seqs, [&](const auto& p) { return p.first == key.number; });
    record.seqs.emplace_back(key.number, seq++);
    index.insert(EntryOf(key, position, record));
  }
}

void TableState::DropKey(uint8_t number) {
  schema.keys.erase(number);
  indexes.erase(number);
  for (auto& [position, record] : records)
    std::erase_if(record.seqs, [&](const auto& p) { return p.first == number; });
}

void TableState::Put(const PutEntry& entry) {
  auto it = records.find(entry.position);
  if (it != records.end()) {
    RemoveEntries(entry.position, it->second);
    it->second = Record{entry.version, entry.seqs, entry.data};
  } else {
    it = records.emplace(entry.position, Record{entry.version, entry.seqs, entry.data}).first;
  }
  AddEntries(entry.position, it->second);
  nextPosition = std::max(nextPosition, entry.position + 1);
  nextSeq = std::max(nextSeq, entry.version + 1);
}

void TableState::Delete(uint32_t position) {
  auto it = records.find(position);
  if (it == records.end()) return;
  RemoveEntries(position, it->second);
  records.erase(it);
}

}  // namespace reqcore
