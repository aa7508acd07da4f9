#include "requester/bench/BenchData.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>

namespace bench {

namespace {

// A name of kNameLength characters; names are drawn from three quarters as many values as records, so some repeat.
std::string NameOf(uint32_t value) {
  char name[kNameLength + 1];
  std::snprintf(name, sizeof name, "N%09u%10s", value, "");
  return std::string(name, kNameLength);
}

}  // namespace

BenchWork MakeWork(int recordCount, int readCount, int scanCount, uint32_t seed) {
  std::mt19937 random(seed);
  BenchWork work;
  std::vector<int32_t> ids(recordCount);
  std::iota(ids.begin(), ids.end(), 1);
  std::shuffle(ids.begin(), ids.end(), random);
  std::uniform_int_distribution<uint32_t> names(0, static_cast<uint32_t>(recordCount) * 3 / 4);
  std::uniform_int_distribution<int64_t> amounts(-1000000000, 1000000000);
  work.records.reserve(recordCount);
  for (const int32_t id : ids) {
    BenchRecord record{id, NameOf(names(random)), amounts(random), {}};
    for (size_t index = 0; index < record.rest.size(); ++index) record.rest[index] = static_cast<uint8_t>(random());
    work.records.push_back(record);
  }
  std::uniform_int_distribution<int32_t> readIds(1, recordCount);
  for (int index = 0; index < readCount; ++index) work.readIds.push_back(readIds(random));
  for (int index = 0; index < scanCount; ++index) work.scanStarts.push_back(NameOf(names(random)));
  return work;
}

std::array<uint8_t, kRecordLength> RecordBytes(const BenchRecord& record) {
  std::array<uint8_t, kRecordLength> bytes{};
  std::memcpy(bytes.data(), &record.id, 4);
  std::memcpy(bytes.data() + 4, record.name.data(), kNameLength);
  std::memcpy(bytes.data() + 24, &record.amount, 8);
  std::memcpy(bytes.data() + 32, record.rest.data(), kRestLength);
  return bytes;
}

}  // namespace bench
