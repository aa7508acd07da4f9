#pragma once
// The benchmark on LMDB: the records by id in one database, the name and amount keys as two databases of
// duplicates that point at the id, as a table with three indexes would keep them. Every commit is synced.
#include <array>
#include <string>

#include "requester/bench/BenchStore.h"

struct MDB_env;

namespace bench {

class LmdbStore : public BenchStore {
 public:
  // Creates (overwrites) the environment at path, or opens the one there.
  LmdbStore(const std::string& path, bool create);
  ~LmdbStore() override;

  std::string Name() const override { return "LMDB"; }
  size_t Load(const std::vector<BenchRecord>& records, size_t batch) override;
  size_t GetEqual(const std::vector<int32_t>& ids) override;
  size_t Scan(const std::vector<std::string>& starts, int count) override;

 private:
  MDB_env* env_ = nullptr;
  unsigned records_ = 0, names_ = 0, amounts_ = 0;  // database handles
  std::array<uint8_t, kRecordLength> record_{};
};

}  // namespace bench
