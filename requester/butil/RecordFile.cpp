#include "requester/butil/RecordFile.h"

#include <algorithm>
#include <cstring>

#include "requester/core/Statuses.h"

namespace butil {

namespace {

constexpr uint16_t kLargestBuffer = 65535;

// Copies a path into a key buffer; false when it does not fit with its terminator.
bool PathToKeyBuffer(const std::string& path, std::array<char, reqcore::KeyBufferSize>& keyBuffer) {
  if (path.size() >= keyBuffer.size()) return false;
  keyBuffer.fill(0);
  std::memcpy(keyBuffer.data(), path.data(), path.size());
  return true;
}

}  // namespace

RecordFile::~RecordFile() {
  if (open_) Close();
}

int16_t RecordFile::Create(const std::string& path, const std::vector<uint8_t>& spec) {
  std::array<uint8_t, reqcore::PosBlockSize> positionBlock{};
  std::array<char, reqcore::KeyBufferSize> keyBuffer{};
  if (!PathToKeyBuffer(path, keyBuffer)) return reqcore::Status::InvalidFileName;
  std::vector<uint8_t> data = spec;
  // No valid specification comes near the largest buffer; a longer one is refused for what its first part says.
  uint16_t length = static_cast<uint16_t>(std::min<size_t>(data.size(), kLargestBuffer));
  return reqcore::CoreCall(reqcore::ClientKey::Default(), reqcore::Op::Create, positionBlock.data(), data.data(),
                           &length, keyBuffer.data(), reqcore::KeyBufferSize - 1, reqcore::CreateMode::RefuseExisting);
}

int16_t RecordFile::Open(const std::string& path, int8_t mode) {
  if (!PathToKeyBuffer(path, keyBuffer_)) return reqcore::Status::InvalidFileName;
  char noOwner[1] = {0};
  uint16_t length = 0;
  const int16_t status = Call(reqcore::Op::Open, noOwner, length, mode);
  open_ = status == reqcore::Status::Ok;
  return status;
}

int16_t RecordFile::Close() {
  uint8_t scratch[4] = {};
  uint16_t length = sizeof scratch;
  const int16_t status = Call(reqcore::Op::Close, scratch, length, 0);
  open_ = false;
  return status;
}

int16_t RecordFile::Stat(std::vector<uint8_t>& reply) {
  return Read(reqcore::Op::Stat, reply);
}

int16_t RecordFile::StepFirst(std::vector<uint8_t>& record) {
  return Read(reqcore::Op::StepFirst, record);
}

int16_t RecordFile::StepNext(std::vector<uint8_t>& record) {
  return Read(reqcore::Op::StepNext, record);
}

int16_t RecordFile::Insert(const std::vector<uint8_t>& record) {
  if (record.size() > kLargestBuffer) return reqcore::Status::DataBufferTooShort;
  std::vector<uint8_t> data = record;
  uint16_t length = static_cast<uint16_t>(data.size());
  return Call(reqcore::Op::Insert, data.data(), length, 0);
}

int16_t RecordFile::Call(uint16_t operation, void* data, uint16_t& length, int8_t keyNumber) {
  return reqcore::CoreCall(reqcore::ClientKey::Default(), operation, positionBlock_.data(), data, &length,
                           keyBuffer_.data(), reqcore::KeyBufferSize - 1, keyNumber);
}

int16_t RecordFile::Read(uint16_t operation, std::vector<uint8_t>& reply) {
  reply.assign(kLargestBuffer, 0);
  uint16_t length = kLargestBuffer;
  const int16_t status = Call(operation, reply.data(), length, 0);
  reply.resize(status == reqcore::Status::Ok ? length : 0);
  return status;
}

}  // namespace butil
