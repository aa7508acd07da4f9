#include "requester/bench/SqliteStore.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace bench {

namespace {

// Finalises a statement when it goes out of scope.
struct Statement {
  sqlite3_stmt* handle;
  ~Statement() { sqlite3_finalize(handle); }
};

}  // namespace

SqliteStore::SqliteStore(const std::string& path, bool create) {
  if (create)
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
  if (sqlite3_open(path.c_str(), &database_) != SQLITE_OK) throw std::runtime_error("cannot open " + path);
  Execute("PRAGMA journal_mode=WAL");
  Execute("PRAGMA synchronous=FULL");
  Execute("PRAGMA cache_size=-1048576");  // up to 1 GiB
  if (!create) return;
  Execute("CREATE TABLE records(id INTEGER PRIMARY KEY, name BLOB NOT NULL, amount INTEGER NOT NULL, "
          "rest BLOB NOT NULL)");
  Execute("CREATE INDEX records_name ON records(name)");
  Execute("CREATE INDEX records_amount ON records(amount)");
}

SqliteStore::~SqliteStore() {
  sqlite3_close(database_);
}

size_t SqliteStore::Load(const std::vector<BenchRecord>& records, size_t batch) {
  Statement insert{Prepare("INSERT INTO records(id, name, amount, rest) VALUES(?, ?, ?, ?)")};
  for (size_t index = 0; index < records.size(); ++index) {
    if (index % batch == 0) Execute("BEGIN");
    const BenchRecord& record = records[index];
    sqlite3_bind_int(insert.handle, 1, record.id);
    sqlite3_bind_blob(insert.handle, 2, record.name.data(), kNameLength, SQLITE_STATIC);
    sqlite3_bind_int64(insert.handle, 3, record.amount);
    sqlite3_bind_blob(insert.handle, 4, record.rest.data(), kRestLength, SQLITE_STATIC);
    if (sqlite3_step(insert.handle) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(database_));
    sqlite3_reset(insert.handle);
    if ((index + 1) % batch == 0 || index + 1 == records.size()) Execute("COMMIT");
  }
  return records.size();
}

size_t SqliteStore::GetEqual(const std::vector<int32_t>& ids) {
  Statement select{Prepare("SELECT name, amount, rest FROM records WHERE id = ?")};
  size_t found = 0;
  for (const int32_t id : ids) {
    sqlite3_bind_int(select.handle, 1, id);
    if (sqlite3_step(select.handle) == SQLITE_ROW) {
      std::memcpy(record_.data(), &id, sizeof id);
      CopyRow(select.handle, 0);
      ++found;
    }
    sqlite3_reset(select.handle);
  }
  return found;
}

size_t SqliteStore::Scan(const std::vector<std::string>& starts, int count) {
  Statement select{Prepare("SELECT id, name, amount, rest FROM records WHERE name >= ? ORDER BY name LIMIT ?")};
  size_t found = 0;
  for (const std::string& start : starts) {
    sqlite3_bind_blob(select.handle, 1, start.data(), kNameLength, SQLITE_STATIC);
    sqlite3_bind_int(select.handle, 2, count);
    while (sqlite3_step(select.handle) == SQLITE_ROW) {
      const int32_t id = sqlite3_column_int(select.handle, 0);
      std::memcpy(record_.data(), &id, sizeof id);
      CopyRow(select.handle, 1);
      ++found;
    }
    sqlite3_reset(select.handle);
  }
  return found;
}

void SqliteStore::Execute(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(database_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = std::string(sql) + ": " + (error ? error : "failed");
    sqlite3_free(error);
    throw std::runtime_error(message);
  }
}

sqlite3_stmt* SqliteStore::Prepare(const char* sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(database_, sql, -1, &statement, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(database_));
  }
  return statement;
}

void SqliteStore::CopyRow(sqlite3_stmt* statement, int firstColumn) {
  std::memcpy(record_.data() + 4, sqlite3_column_blob(statement, firstColumn), kNameLength);
  const int64_t amount = sqlite3_column_int64(statement, firstColumn + 1);
  std::memcpy(record_.data() + 24, &amount, sizeof amount);
  std::memcpy(record_.data() + 32, sqlite3_column_blob(statement, firstColumn + 2), kRestLength);
}

}  // namespace bench
