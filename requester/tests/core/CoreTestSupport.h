#pragma once
// Small helpers for the core's tests: a temporary directory, create specifications and a file handle.
#include "requester/core/BtrCall.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace reqtest {

using namespace reqcore;

struct SegmentSpec {
  uint16_t position;  // 1-based
  uint16_t length;
  uint16_t flags = 0;
  uint8_t type = KeyType::String;
  uint8_t acs = 0;
  uint8_t keyNumber = 0;
};

// A create request: file specification, then the segments (flag 0x10 on all but the last of a key).
inline std::vector<uint8_t> CreateSpec(uint16_t recordLength, const std::vector<std::vector<SegmentSpec>>& keys,
                                       uint16_t fileFlags = 0, uint16_t pageSize = 4096,
                                       const std::vector<std::vector<uint8_t>>& acs = {}) {
  std::vector<uint8_t> out(16, 0);
  auto put16 = [&](size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  put16(0, recordLength);
  put16(2, pageSize);
  put16(4, static_cast<uint16_t>(keys.size()));
  put16(10, fileFlags);
  for (const auto& key : keys) {
    for (size_t i = 0; i < key.size(); ++i) {
      size_t at = out.size();
      out.resize(at + 16, 0);
      const SegmentSpec& s = key[i];
      uint16_t flags = s.flags | (i + 1 < key.size() ? KeyFlag::Segmented : 0);
      if (s.type != KeyType::String) flags |= KeyFlag::ExtendedType;
      put16(at, s.position);
      put16(at + 2, s.length);
      put16(at + 4, flags);
      out[at + 10] = s.type;
      out[at + 14] = s.keyNumber;
      out[at + 15] = s.acs;
    }
  }
  for (const auto& table : acs) out.insert(out.end(), table.begin(), table.end());
  return out;
}

// One open file of one client, with buffers as callers hold them.
class TestFile {
 public:
  explicit TestFile(ClientKey client = ClientKey::Default()) : client_(client) {}
  ~TestFile() {
    if (open_) Call(Op::Close);
  }

  int16_t Call(uint16_t op, int8_t keyNum = 0) {
    uint16_t length = static_cast<uint16_t>(data.size());
    int16_t status = CoreCall(client_, op, posBlock, data.data(), &length, key, 255, keyNum);
    returned = length;
    return status;
  }

  int16_t Open(const std::string& path, int8_t mode = OpenMode::Normal) {
    SetKey(path);
    data.assign(1, 0);
    int16_t status = Call(Op::Open, mode);
    open_ = status == 0;
    return status;
  }
  int16_t Close() {
    int16_t status = Call(Op::Close);
    if (status == 0) open_ = false;
    return status;
  }
  int16_t Create(const std::string& path, const std::vector<uint8_t>& spec, int8_t mode = CreateMode::Overwrite) {
    SetKey(path);
    data = spec;
    return Call(Op::Create, mode);
  }
  void SetKey(const std::string& text) {
    std::memset(key, 0, sizeof key);
    std::memcpy(key, text.data(), std::min<size_t>(text.size(), 255));
  }
  void SetKey(const void* bytes, size_t n) {
    std::memset(key, 0, sizeof key);
    std::memcpy(key, bytes, n);
  }
  int16_t Insert(const std::string& record, int8_t keyNum = 0) {
    data.assign(record.begin(), record.end());
    return Call(Op::Insert, keyNum);
  }
  int16_t Update(const std::string& record) {
    data.assign(record.begin(), record.end());
    return Call(Op::Update, cursorKey);
  }
  // A read with a data buffer of capacity bytes.
  int16_t Read(uint16_t op, int8_t keyNum, size_t capacity = 1024) {
    data.assign(capacity, 0);
    cursorKey = keyNum;
    return Call(op, keyNum);
  }
  int16_t GetEqual(const std::string& keyValue, int8_t keyNum = 0) {
    SetKey(keyValue.data(), keyValue.size());
    return Read(Op::GetEqual, keyNum);
  }
  std::string Record() const { return std::string(data.begin(), data.begin() + returned); }
  uint32_t Position() {
    data.assign(4, 0);
    if (Call(Op::GetPosition) != 0) return 0;
    uint32_t p;
    std::memcpy(&p, data.data(), 4);
    return p;
  }
  int16_t GetDirect(uint32_t position, int8_t keyNum = 0) {
    data.assign(1024, 0);
    std::memcpy(data.data(), &position, 4);
    cursorKey = keyNum;
    return Call(Op::GetDirect, keyNum);
  }
  std::vector<uint8_t> Stat() {
    data.assign(4096, 0);
    Call(Op::Stat);
    return std::vector<uint8_t>(data.begin(), data.begin() + returned);
  }

  uint8_t posBlock[PosBlockSize]{};
  uint8_t key[KeyBufferSize]{};
  std::vector<uint8_t> data;
  uint16_t returned = 0;
  int8_t cursorKey = 0;

 private:
  ClientKey client_;
  bool open_ = false;
};

// A fresh directory under the system's temporary folder, removed with its files.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// 12-byte records: id at 1 (key 0, a unique integer), group at 5 (key 1, a modifiable integer with duplicates),
// then tag bytes.
inline std::vector<uint8_t> IdGroupSpec() {
  return CreateSpec(12, {{{1, 4, 0, KeyType::Integer}},
                         {{5, 2, KeyFlag::Duplicates | KeyFlag::Modifiable, KeyType::Integer}}});
}
inline std::string IdGroupRecord(int32_t id, int16_t group, char tag) {
  std::string r(12, tag);
  std::memcpy(r.data(), &id, 4);
  std::memcpy(r.data() + 4, &group, 2);
  return r;
}

// Records and positions in physical order, and the records in key 1 order.
std::vector<std::string> Contents(TestFile& f);

// A closed file of IdGroupSpec whose log is mostly superseded entries, and its contents.
void MakeChurnedFile(const std::string& path, std::vector<std::string>& contents);

inline ClientKey Client(uint8_t n) {
  uint8_t id[ClientIdSize] = {n, 'c', 'l'};
  return ClientKey::FromId(id);
}

}  // namespace reqtest
