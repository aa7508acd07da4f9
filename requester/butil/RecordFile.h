#pragma once
// One record file opened through the core by the process's default client.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "requester/core/BtrCall.h"

namespace butil {

class RecordFile {
 public:
  RecordFile() = default;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  ~RecordFile();

  // Creates a file from a create specification; an existing file is refused with status 59.
  static int16_t Create(const std::string& path, const std::vector<uint8_t>& spec);

  int16_t Open(const std::string& path, int8_t mode);
  int16_t Close();
  // The stat reply, sized to what the core returned.
  int16_t Stat(std::vector<uint8_t>& reply);
  // Physical order; the record is sized to its returned length.
  int16_t StepFirst(std::vector<uint8_t>& record);
  int16_t StepNext(std::vector<uint8_t>& record);
  int16_t Insert(const std::vector<uint8_t>& record);

 private:
  int16_t Call(uint16_t operation, void* data, uint16_t& length, int8_t keyNumber);
  int16_t Read(uint16_t operation, std::vector<uint8_t>& reply);

  std::array<uint8_t, reqcore::PosBlockSize> positionBlock_{};
  std::array<char, reqcore::KeyBufferSize> keyBuffer_{};
  bool open_ = false;
};

}  // namespace butil
