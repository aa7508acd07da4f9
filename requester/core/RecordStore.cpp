#include "requester/core/RecordStore.h"

#include "requester/core/ByteOrder.h"

namespace reqcore {

namespace {

// A record's value: 0 and the record inline, or 1 and the reference of the chain holding it.
enum : uint8_t { Inline = 0, Chained = 1 };
constexpr size_t InlineLimit = PageTree::MaxEntryBytes - 4;
constexpr size_t ChainedSize = 1 + 12;

std::string KeyOf(uint32_t position) {
  std::string key(4, '\0');
  PutBig(reinterpret_cast<uint8_t*>(key.data()), position);
  return key;
}

std::string Encode(const Record& record) {
  std::string bytes(1 + 8 + 1 + 9 * record.seqs.size(), '\0');
  auto* at = reinterpret_cast<uint8_t*>(bytes.data());
  at[0] = Inline;
  PutLittle(at + 1, record.version);
  at[9] = static_cast<uint8_t>(record.seqs.size());
  at += 10;
  for (const auto& [key, seq] : record.seqs) {
    at[0] = key;
    PutLittle(at + 1, seq);
    at += 9;
  }
  return bytes + record.data;
}

PageRef ChainOf(std::string_view value) {
  const auto* at = reinterpret_cast<const uint8_t*>(value.data());
  return PageRef{GetLittle<uint32_t>(at + 1), GetLittle<uint64_t>(at + 5)};
}

}  // namespace

uint64_t Record::SeqOf(uint8_t key) const {
  for (const auto& [k, seq] : seqs)
    if (k == key) return seq;
  return version;
}

uint32_t RecordStore::PositionOf(const PageTree::Cursor& at) {
  if (at.Key().size() != 4) throw PageMismatch();
  return GetBig<uint32_t>(reinterpret_cast<const uint8_t*>(at.Key().data()));
}

Record RecordStore::Decode(std::string_view value) const {
  std::string chained;
  if (!value.empty() && value[0] == Chained) {
    if (value.size() != ChainedSize) throw PageMismatch();
    chained = file_->ReadChain(ChainOf(value));
    value = chained;
  }
  const auto* at = reinterpret_cast<const uint8_t*>(value.data());
  if (value.size() < 10 || at[0] != Inline || value.size() < 10 + 9u * at[9]) throw PageMismatch();
  Record record;
  record.version = GetLittle<uint64_t>(at + 1);
  size_t seqs = at[9];
  for (size_t i = 0; i < seqs; ++i) record.seqs.emplace_back(at[10 + 9 * i], GetLittle<uint64_t>(at + 11 + 9 * i));
  record.data.assign(value.substr(10 + 9 * seqs));
  return record;
}

std::optional<Record> RecordStore::Find(uint32_t position) const {
  std::string key = KeyOf(position);
  auto at = tree_.LowerBound(key);
  if (at.AtEnd() || at.Key() != key) return std::nullopt;
  return Decode(at.Value());
}

void RecordStore::FreeChainOf(uint32_t position) {
  std::string key = KeyOf(position);
  auto at = tree_.LowerBound(key);
  if (!at.AtEnd() && at.Key() == key && !at.Value().empty() && at.Value()[0] == Chained)
    file_->FreeChain(ChainOf(at.Value()));
}

void RecordStore::Put(uint32_t position, const Record& record) {
  FreeChainOf(position);
  Insert(position, record);
}

void RecordStore::Insert(uint32_t position, const Record& record) {
  std::string value = Encode(record);
  if (value.size() > InlineLimit) {
    PageRef chain = file_->WriteChain(value);
    value.assign(ChainedSize, '\0');
    auto* at = reinterpret_cast<uint8_t*>(value.data());
    at[0] = Chained;
    PutLittle(at + 1, chain.page);
    PutLittle(at + 5, chain.commit);
  }
  tree_.Put(KeyOf(position), value);
}

void RecordStore::Erase(uint32_t position) {
  FreeChainOf(position);
  tree_.Erase(KeyOf(position));
}

uint32_t RecordStore::After(uint32_t position) const {
  auto at = tree_.UpperBound(KeyOf(position));
  return at.AtEnd() ? 0 : PositionOf(at);
}

uint32_t RecordStore::Before(uint32_t position) const {
  auto at = tree_.LowerBound(KeyOf(position));
  tree_.Prev(at);
  return at.AtEnd() ? 0 : PositionOf(at);
}

uint32_t RecordStore::Last() const {
  auto at = tree_.Last();
  return at.AtEnd() ? 0 : PositionOf(at);
}

size_t RecordStore::Rank(uint32_t position) const {
  return static_cast<size_t>(tree_.Rank(tree_.LowerBound(KeyOf(position))));
}

uint32_t RecordStore::AtRank(size_t rank) const {
  auto at = tree_.AtRank(rank);
  return at.AtEnd() ? 0 : PositionOf(at);
}

}  // namespace reqcore
