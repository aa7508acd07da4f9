#include "requester/bench/LmdbStore.h"

#include <lmdb.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace bench {

namespace {

void Check(int result, const char* what) {
  if (result != MDB_SUCCESS) throw std::runtime_error(std::string(what) + ": " + mdb_strerror(result));
}

MDB_val Value(const void* data, size_t size) { return MDB_val{size, const_cast<void*>(data)}; }

// The amount as bytes whose plain order is the numbers' order.
std::array<uint8_t, 8> AmountKey(int64_t amount) {
  const uint64_t biased = static_cast<uint64_t>(amount) ^ (uint64_t{1} << 63);
  std::array<uint8_t, 8> key{};
  for (int index = 0; index < 8; ++index) key[index] = static_cast<uint8_t>(biased >> (56 - 8 * index));
  return key;
}

// A read-only transaction that ends with its scope.
struct ReadTransaction {
  MDB_txn* handle = nullptr;
  explicit ReadTransaction(MDB_env* env) { Check(mdb_txn_begin(env, nullptr, MDB_RDONLY, &handle), "begin"); }
  ~ReadTransaction() { mdb_txn_abort(handle); }
};

}  // namespace

LmdbStore::LmdbStore(const std::string& path, bool create) {
  if (create) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  Check(mdb_env_create(&env_), "create");
  Check(mdb_env_set_maxdbs(env_, 3), "maxdbs");
  Check(mdb_env_set_mapsize(env_, size_t{32} << 30), "mapsize");
  Check(mdb_env_open(env_, path.c_str(), 0, 0664), "open");
  MDB_txn* txn = nullptr;
  Check(mdb_txn_begin(env_, nullptr, 0, &txn), "begin");
  const unsigned createFlag = create ? MDB_CREATE : 0;
  Check(mdb_dbi_open(txn, "records", createFlag | MDB_INTEGERKEY, &records_), "records");
  Check(mdb_dbi_open(txn, "names", createFlag | MDB_DUPSORT | MDB_DUPFIXED | MDB_INTEGERDUP, &names_), "names");
  Check(mdb_dbi_open(txn, "amounts", createFlag | MDB_DUPSORT | MDB_DUPFIXED | MDB_INTEGERDUP, &amounts_), "amounts");
  Check(mdb_txn_commit(txn), "commit");
}

LmdbStore::~LmdbStore() { mdb_env_close(env_); }

size_t LmdbStore::Load(const std::vector<BenchRecord>& records, size_t batch) {
  MDB_txn* txn = nullptr;
  for (size_t index = 0; index < records.size(); ++index) {
    if (index % batch == 0) Check(mdb_txn_begin(env_, nullptr, 0, &txn), "begin");
    const BenchRecord& record = records[index];
    record_ = RecordBytes(record);
    MDB_val id = Value(&record.id, sizeof record.id), bytes = Value(record_.data(), record_.size());
    Check(mdb_put(txn, records_, &id, &bytes, MDB_NOOVERWRITE), "put record");
    MDB_val name = Value(record.name.data(), kNameLength);
    Check(mdb_put(txn, names_, &name, &id, 0), "put name");
    const auto amountKey = AmountKey(record.amount);
    MDB_val amount = Value(amountKey.data(), amountKey.size());
    Check(mdb_put(txn, amounts_, &amount, &id, 0), "put amount");
    if ((index + 1) % batch == 0 || index + 1 == records.size()) Check(mdb_txn_commit(txn), "commit");
  }
  return records.size();
}

size_t LmdbStore::GetEqual(const std::vector<int32_t>& ids) {
  ReadTransaction txn(env_);
  size_t found = 0;
  for (const int32_t id : ids) {
    MDB_val key = Value(&id, sizeof id), data;
    if (mdb_get(txn.handle, records_, &key, &data) != MDB_SUCCESS) continue;
    std::memcpy(record_.data(), data.mv_data, record_.size());
    ++found;
  }
  return found;
}

size_t LmdbStore::Scan(const std::vector<std::string>& starts, int count) {
  ReadTransaction txn(env_);
  MDB_cursor* cursor = nullptr;
  Check(mdb_cursor_open(txn.handle, names_, &cursor), "cursor");
  size_t found = 0;
  for (const std::string& start : starts) {
    MDB_val name = Value(start.data(), kNameLength), id;
    int result = mdb_cursor_get(cursor, &name, &id, MDB_SET_RANGE);
    for (int read = 0; read < count && result == MDB_SUCCESS; ++read) {
      MDB_val data;
      Check(mdb_get(txn.handle, records_, &id, &data), "get record");
      std::memcpy(record_.data(), data.mv_data, record_.size());
      ++found;
      result = mdb_cursor_get(cursor, &name, &id, MDB_NEXT);
    }
  }
  mdb_cursor_close(cursor);
  return found;
}

}  // namespace bench
