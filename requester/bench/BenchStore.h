#pragma once
// One side of the benchmark. Each operation returns how many records it delivered, so that both sides can be
// checked to have done the same work.
#include <cstddef>
#include <string>

#include "requester/bench/BenchData.h"

namespace bench {

class BenchStore {
 public:
  virtual ~BenchStore() = default;
  virtual std::string Name() const = 0;
  // Inserts every record, committing every batch of records.
  virtual size_t Load(const std::vector<BenchRecord>& records, size_t batch) = 0;
  // Reads each id by its unique key.
  virtual size_t GetEqual(const std::vector<int32_t>& ids) = 0;
  // From each start name, reads up to count records in name order.
  virtual size_t Scan(const std::vector<std::string>& starts, int count) = 0;
};

}  // namespace bench
