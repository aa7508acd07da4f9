#pragma once
// The benchmark on SQLite: one table with the same three indexes, WAL journal with synchronous=FULL (every commit
// synced, as the record manager's transactions are) and a page cache large enough for the whole database.
#include <string>

#include "requester/bench/BenchStore.h"

struct sqlite3;
struct sqlite3_stmt;

namespace bench {

class SqliteStore : public BenchStore {
 public:
  // Creates (overwrites) the database at path, or opens the one there.
  SqliteStore(const std::string& path, bool create);
  ~SqliteStore() override;

  std::string Name() const override { return "SQLite"; }
  size_t Load(const std::vector<BenchRecord>& records, size_t batch) override;
  size_t GetEqual(const std::vector<int32_t>& ids) override;
  size_t Scan(const std::vector<std::string>& starts, int count) override;

 private:
  void Execute(const char* sql);
  sqlite3_stmt* Prepare(const char* sql);
  // Copies the current row's columns (from the given first column: name, amount, rest) into the record buffer.
  void CopyRow(sqlite3_stmt* statement, int firstColumn);

  sqlite3* database_ = nullptr;
  std::array<uint8_t, kRecordLength> record_{};
};

}  // namespace bench
