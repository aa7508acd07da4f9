#pragma once
// The benchmark on the record manager's core, called directly as the DLL would.
#include <array>
#include <string>

#include "requester/bench/BenchStore.h"
#include "requester/core/BtrCall.h"

namespace bench {

// The record manager's page cache in the benchmark.
constexpr size_t kRecordManagerCacheBytes = 64u << 20;

class RecordManagerStore : public BenchStore {
 public:
  // Creates (overwrites) the record file at path, or not, and opens it.
  RecordManagerStore(const std::string& path, bool create);
  ~RecordManagerStore() override;

  std::string Name() const override { return "record manager"; }
  size_t Load(const std::vector<BenchRecord>& records, size_t batch) override;
  size_t GetEqual(const std::vector<int32_t>& ids) override;
  size_t Scan(const std::vector<std::string>& starts, int count) override;

 private:
  int16_t Call(uint16_t operation, void* data, uint16_t& length, int8_t keyNumber);
  // Calls and throws std::runtime_error naming the operation when the status is not 0.
  void Check(uint16_t operation, void* data, uint16_t& length, int8_t keyNumber);

  std::array<uint8_t, reqcore::PosBlockSize> positionBlock_{};
  std::array<uint8_t, reqcore::KeyBufferSize> keyBuffer_{};
  std::array<uint8_t, kRecordLength> record_{};
};

}  // namespace bench
