#include "requester/core/TableState.h"

#include "requester/core/BtrCall.h"
#include "requester/core/SpecLayout.h"
#include "requester/core/Statuses.h"

#include <algorithm>
#include <limits>

namespace reqcore {

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

bool TableState::Accepts(const LogEntry& entry) const {
  bool defined = schema.recordLength != 0;
  return std::visit(
      Overloaded{
          [&](const FileDefEntry& e) { return !defined && e.recordLength != 0; },
          [&](const CollatingEntry& e) { return defined && e.table[0] == CollatingSignature; },
          [&](const KeyAddEntry& e) {
            return defined && e.key.number < KeyNumberLimit && !e.key.segments.empty() &&
                   ValidateKey(e.key, schema) == Status::Ok;
          },
          [&](const KeyDropEntry&) { return defined; },
          [&](const PutEntry& e) {
            size_t length = e.data.size();
            return defined && e.position != 0 && length >= schema.recordLength &&
                   length <= std::numeric_limits<uint16_t>::max() &&
                   (schema.VariableLength() || length == schema.recordLength);
          },
          [&](const DeleteEntry&) { return defined; },
      },
      entry);
}

void TableState::Clear() { *this = TableState{}; }

std::string TableState::Normalize(const KeyDef& key, std::string_view rawKey) const {
  return NormalizeKey(schema, key, rawKey);
}

IndexEntry TableState::EntryOf(const KeyDef& key, uint32_t position, const Record& record) const {
  return IndexEntry{KeyIndex::EntryKey(Normalize(key, RawKey(key, record.data)), record.SeqOf(key.number)), position};
}

uint32_t TableState::FindDuplicate(const KeyDef& key, const std::string& norm, uint32_t position) const {
  const KeyIndex& index = Index(key.number);
  for (auto p = index.LowerBound(KeyIndex::EntryKey(norm, 0)); !index.IsEnd(p) && index.Norm(p) == norm;
       p = index.Next(p))
    if (index.Position(p) != position) return index.Position(p);
  return 0;
}

void TableState::EndBulk() {
  bulk_ = false;
  for (const auto& [number, key] : schema.keys) {
    std::string keys;
    std::vector<uint32_t> positions;
    positions.reserve(records.Size());
    records.ForEach([&](uint32_t position, Record& record) {
      keys.append(EntryOf(key, position, record).key);
      positions.push_back(position);
    });
    indexes.at(number).Load(keys, positions);
  }
}

void TableState::AddEntries(uint32_t position, const Record& record) {
  if (bulk_) return;
  for (const auto& [number, key] : schema.keys) indexes.at(number).Insert(EntryOf(key, position, record).key, position);
}

void TableState::RemoveEntries(uint32_t position, const Record& record) {
  if (bulk_) return;
  for (const auto& [number, key] : schema.keys) indexes.at(number).Erase(EntryOf(key, position, record).key);
}

void TableState::AddKey(const KeyAddEntry& entry) {
  const KeyDef& key = schema.keys[entry.key.number] = entry.key;
  size_t normLength = Normalize(key, std::string(key.RawLength(), '\0')).size();
  indexes.erase(key.number);
  KeyIndex& index = indexes.emplace(key.number, KeyIndex(normLength)).first->second;
  uint64_t seq = entry.baseSeq;
  records.ForEach([&](uint32_t position, Record& record) {
    std::erase_if(record.seqs, [&](const auto& p) { return p.first == key.number; });
    record.seqs.emplace_back(key.number, seq++);
    if (!bulk_) index.Insert(EntryOf(key, position, record).key, position);
  });
}

void TableState::DropKey(uint8_t number) {
  schema.keys.erase(number);
  indexes.erase(number);
  records.ForEach([&](uint32_t, Record& record) {
    std::erase_if(record.seqs, [&](const auto& p) { return p.first == number; });
  });
}

void TableState::Put(const PutEntry& entry) {
  if (const Record* old = records.Find(entry.position)) RemoveEntries(entry.position, *old);
  const Record& record = records.Put(entry.position, Record{entry.version, entry.seqs, entry.data});
  AddEntries(entry.position, record);
  nextPosition = std::max(nextPosition, entry.position + 1);
  nextSeq = std::max(nextSeq, entry.version + 1);
}

void TableState::Delete(uint32_t position) {
  const Record* old = records.Find(position);
  if (!old) return;
  RemoveEntries(position, *old);
  records.Erase(position);
}

}  // namespace reqcore
