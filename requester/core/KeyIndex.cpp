#include "requester/core/KeyIndex.h"

#include "requester/core/ByteOrder.h"

namespace reqcore {

uint64_t& KeyIndex::StateStamp() {
  static uint64_t stamp = 1;
  return stamp;
}

std::string KeyIndex::EntryKey(std::string_view norm, uint64_t seq) {
  std::string key(norm);
  key.resize(norm.size() + 8);
  PutBig(reinterpret_cast<uint8_t*>(key.data() + norm.size()), seq);
  return key;
}

void KeyIndex::Insert(std::string_view key, uint32_t position) {
  std::string value(4, '\0');
  PutLittle(reinterpret_cast<uint8_t*>(value.data()), position);
  tree_.Put(key, value);
  ++StateStamp();
}

void KeyIndex::Erase(std::string_view key) {
  tree_.Erase(key);
  ++StateStamp();
}

KeyIndex::Pos KeyIndex::Next(Pos p) const {
  tree_.Next(p);
  return p;
}

KeyIndex::Pos KeyIndex::Prev(Pos p) const {
  tree_.Prev(p);
  return p;
}

uint32_t KeyIndex::Position(const Pos& p) const {
  if (p.Value().size() != 4 || p.Key().size() != normLength_ + 8) throw PageMismatch();
  return GetLittle<uint32_t>(reinterpret_cast<const uint8_t*>(p.Value().data()));
}

}  // namespace reqcore
