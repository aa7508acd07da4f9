#include "requester/core/TableState.h"

#include "requester/core/BtrCall.h"
#include "requester/core/SpecLayout.h"
#include "requester/core/Statuses.h"

#include <algorithm>

namespace reqcore {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};

// Whether an entry of a definition read from the file fits the definition so far; one that does not is damage.
bool Fits(const Schema& schema, const LogEntry& entry) {
  bool defined = schema.recordLength != 0;
  return std::visit(Overloaded{
                        [&](const FileDefEntry& e) { return !defined && e.recordLength != 0; },
                        [&](const CollatingEntry& e) { return defined && e.table[0] == CollatingSignature; },
                        [&](const KeyAddEntry& e) {
                          return defined && e.key.number < KeyNumberLimit && !e.key.segments.empty() &&
                                 !schema.keys.count(e.key.number) && ValidateKey(e.key, schema) == Status::Ok;
                        },
                        [&](const auto&) { return false; },
                    },
                    entry);
}

Schema DecodeDefinition(std::string_view bytes) {
  Schema schema;
  bool damaged = false;
  size_t used = DecodeEntries(
      bytes,
      [&](LogEntry&& entry) {
        if (!Fits(schema, entry)) return false;
        if (auto* e = std::get_if<FileDefEntry>(&entry)) {
          schema.recordLength = e->recordLength;
          schema.pageSize = e->pageSize;
          schema.fileFlags = e->fileFlags;
        } else if (auto* e = std::get_if<CollatingEntry>(&entry)) {
          schema.collating.push_back(e->table);
        } else if (auto* e = std::get_if<KeyAddEntry>(&entry)) {
          schema.keys[e->key.number] = e->key;
        }
        return true;
      },
      damaged);
  if (damaged || used != bytes.size() || schema.recordLength == 0) throw PageMismatch();
  return schema;
}

}  // namespace

std::string EncodeDefinition(const Schema& schema) {
  std::string bytes;
  AppendEntry(bytes, FileDefEntry{schema.recordLength, schema.pageSize, schema.fileFlags});
  for (const auto& table : schema.collating) AppendEntry(bytes, CollatingEntry{table});
  for (const auto& [number, key] : schema.keys) AppendEntry(bytes, KeyAddEntry{key, 1});
  return bytes;
}

void TableState::Load(const Meta& meta) {
  file_.Use(meta);
  if (schema.recordLength == 0 || definitionChanged_ || !(meta.definition == meta_.definition))
    schema = DecodeDefinition(file_.ReadChain(meta.definition));
  // Every key has a tree, and each tree one entry per record.
  if (meta.keys.size() != schema.keys.size()) throw PageMismatch();
  for (const auto& [number, root] : meta.keys)
    if (!schema.keys.count(number) || root.count != meta.records.count) throw PageMismatch();
  meta_ = meta;
  nextPosition = meta.nextPosition;
  nextSeq = meta.nextSeq;
  definitionChanged_ = false;
  Bind();
}

void TableState::Clear() {
  schema = Schema{};
  meta_ = Meta{};
  nextPosition = 1;
  nextSeq = 1;
  definitionChanged_ = false;
  Bind();
}

void TableState::Bind() {
  ++KeyIndex::StateStamp();
  indexes_.clear();
  for (const auto& [number, key] : schema.keys) {
    size_t normLength = Normalize(key, std::string(key.RawLength(), '\0')).size();
    indexes_.emplace(number, KeyIndex(file_, meta_.keys[number], normLength));
  }
}

Meta TableState::Changed() {
  if (definitionChanged_) {
    if (!meta_.definition.Null()) file_.FreeChain(meta_.definition);
    meta_.definition = file_.WriteChain(EncodeDefinition(schema));
    definitionChanged_ = false;
  }
  meta_.nextPosition = nextPosition;
  meta_.nextSeq = nextSeq;
  return meta_;
}

void TableState::Apply(const LogEntry& entry) {
  ++KeyIndex::StateStamp();
  std::visit(Overloaded{
                 [&](const FileDefEntry& e) {
                   schema.recordLength = e.recordLength;
                   schema.pageSize = e.pageSize;
                   schema.fileFlags = e.fileFlags;
                   definitionChanged_ = true;
                 },
                 [&](const CollatingEntry& e) {
                   schema.collating.push_back(e.table);
                   definitionChanged_ = true;
                 },
                 [&](const KeyAddEntry& e) { AddKey(e); },
                 [&](const KeyDropEntry& e) { DropKey(e.number); },
                 [&](const PutEntry& e) { Put(e); },
                 [&](const DeleteEntry& e) { Delete(e.position); },
             },
             entry);
}

Record TableState::Get(uint32_t position) const {
  std::optional<Record> record = records.Find(position);
  if (!record) throw PageMismatch();
  return std::move(*record);
}

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

void TableState::AddEntries(uint32_t position, const Record& record) {
  for (const auto& [number, key] : schema.keys) indexes_.at(number).Insert(EntryOf(key, position, record).key, position);
}

void TableState::RemoveEntries(uint32_t position, const Record& record) {
  for (const auto& [number, key] : schema.keys) indexes_.at(number).Erase(EntryOf(key, position, record).key);
}

void TableState::AddKey(const KeyAddEntry& entry) {
  const KeyDef& key = schema.keys[entry.key.number] = entry.key;
  meta_.keys[key.number] = TreeRoot{};
  definitionChanged_ = true;
  Bind();
  KeyIndex& index = indexes_.at(key.number);
  // Records are written back with their place among duplicates in the new key, in order of position.
  uint64_t seq = entry.baseSeq;
  for (uint32_t position = records.First(); position != 0; position = records.After(position)) {
    Record record = *records.Find(position);
    std::erase_if(record.seqs, [&](const auto& p) { return p.first == key.number; });
    record.seqs.emplace_back(key.number, seq++);
    records.Put(position, record);
    index.Insert(EntryOf(key, position, record).key, position);
  }
}

void TableState::DropKey(uint8_t number) {
  auto it = meta_.keys.find(number);
  if (it != meta_.keys.end()) PageTree(file_, it->second).Clear();
  schema.keys.erase(number);
  meta_.keys.erase(number);
  definitionChanged_ = true;
  Bind();
}

void TableState::Put(const PutEntry& entry) {
  std::optional<Record> old = records.Find(entry.position);
  if (old) RemoveEntries(entry.position, *old);
  Record record{entry.version, entry.seqs, entry.data};
  if (old)
    records.Put(entry.position, record);
  else
    records.Insert(entry.position, record);
  AddEntries(entry.position, record);
  nextPosition = std::max(nextPosition, entry.position + 1);
  nextSeq = std::max(nextSeq, entry.version + 1);
}

void TableState::Delete(uint32_t position) {
  auto old = records.Find(position);
  if (!old) return;
  RemoveEntries(position, *old);
  records.Erase(position);
}

}  // namespace reqcore
