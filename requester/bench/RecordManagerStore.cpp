#include "requester/bench/RecordManagerStore.h"

#include <cstring>
#include <stdexcept>
#include <vector>

#include "requester/core/Statuses.h"

namespace bench {

namespace {

namespace Op = reqcore::Op;
namespace KeyFlag = reqcore::KeyFlag;

struct SegmentSpec {
  uint16_t position;
  uint16_t length;
  uint16_t flags;
  uint8_t type;
};

// Key 0: id, unique; key 1: name, duplicates; key 2: amount, duplicates.
std::vector<uint8_t> CreateSpec() {
  const SegmentSpec segments[] = {
      {1, 4, KeyFlag::ExtendedType, reqcore::KeyType::Integer},
      {5, kNameLength, KeyFlag::ExtendedType | KeyFlag::Duplicates, reqcore::KeyType::String},
      {25, 8, KeyFlag::ExtendedType | KeyFlag::Duplicates, reqcore::KeyType::Integer},
  };
  std::vector<uint8_t> spec(reqcore::FileSpecSize + std::size(segments) * reqcore::KeySpecSize);
  const uint16_t fileSpec[] = {kRecordLength, 4096, static_cast<uint16_t>(std::size(segments))};
  std::memcpy(spec.data(), fileSpec, sizeof fileSpec);
  uint8_t* entry = spec.data() + reqcore::FileSpecSize;
  for (const SegmentSpec& segment : segments) {
    std::memcpy(entry, &segment.position, 2);
    std::memcpy(entry + 2, &segment.length, 2);
    std::memcpy(entry + 4, &segment.flags, 2);
    entry[10] = segment.type;
    entry += reqcore::KeySpecSize;
  }
  return spec;
}

}  // namespace

RecordManagerStore::RecordManagerStore(const std::string& path, bool create) {
  if (path.size() >= keyBuffer_.size()) throw std::runtime_error("path too long: " + path);
  reqcore::SetPageCacheBytes(kRecordManagerCacheBytes);
  std::memcpy(keyBuffer_.data(), path.c_str(), path.size() + 1);
  uint16_t length = 0;
  if (create) {
    std::vector<uint8_t> spec = CreateSpec();
    length = static_cast<uint16_t>(spec.size());
    Check(Op::Create, spec.data(), length, reqcore::CreateMode::Overwrite);
    length = 0;
  }
  Check(Op::Open, record_.data(), length, reqcore::OpenMode::Normal);
}

RecordManagerStore::~RecordManagerStore() {
  uint16_t length = 0;
  Call(Op::Close, record_.data(), length, 0);
  reqcore::CoreStop();
}

size_t RecordManagerStore::Load(const std::vector<BenchRecord>& records, size_t batch) {
  uint16_t none = 0;
  for (size_t index = 0; index < records.size(); ++index) {
    if (index % batch == 0) Check(Op::BeginTransaction, record_.data(), none, 0);
    record_ = RecordBytes(records[index]);
    uint16_t length = kRecordLength;
    Check(Op::Insert, record_.data(), length, 0);
    if ((index + 1) % batch == 0 || index + 1 == records.size()) Check(Op::EndTransaction, record_.data(), none, 0);
  }
  return records.size();
}

size_t RecordManagerStore::GetEqual(const std::vector<int32_t>& ids) {
  size_t found = 0;
  for (const int32_t id : ids) {
    std::memcpy(keyBuffer_.data(), &id, sizeof id);
    uint16_t length = kRecordLength;
    if (Call(Op::GetEqual, record_.data(), length, 0) == reqcore::Status::Ok) ++found;
  }
  return found;
}

size_t RecordManagerStore::Scan(const std::vector<std::string>& starts, int count) {
  size_t found = 0;
  for (const std::string& start : starts) {
    std::memcpy(keyBuffer_.data(), start.data(), kNameLength);
    uint16_t length = kRecordLength;
    int16_t status = Call(Op::GetGreaterOrEqual, record_.data(), length, 1);
    for (int read = 0; read < count && status == reqcore::Status::Ok; ++read) {
      ++found;
      length = kRecordLength;
      if (read + 1 < count) status = Call(Op::GetNext, record_.data(), length, 1);
    }
  }
  return found;
}

int16_t RecordManagerStore::Call(uint16_t operation, void* data, uint16_t& length, int8_t keyNumber) {
  return reqcore::CoreCall(reqcore::ClientKey::Default(), operation, positionBlock_.data(), data, &length,
                           keyBuffer_.data(), reqcore::KeyBufferSize - 1, keyNumber);
}

void RecordManagerStore::Check(uint16_t operation, void* data, uint16_t& length, int8_t keyNumber) {
  const int16_t status = Call(operation, data, length, keyNumber);
  if (status != reqcore::Status::Ok) {
    throw std::runtime_error("record manager operation " + std::to_string(operation) + ": status " +
                             std::to_string(status));
  }
}

}  // namespace bench
