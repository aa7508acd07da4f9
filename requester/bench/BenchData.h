#pragma once
// The benchmark's data: 80-byte records with three keys, and the random keys of the reads and scans.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

constexpr int kRecordLength = 80;
constexpr int kNameLength = 20;
constexpr int kRestLength = kRecordLength - 4 - kNameLength - 8;

// Byte layout: id (4-byte integer, unique key 0) at 0, name (20-byte string, key 1 with duplicates) at 4,
// amount (8-byte integer, key 2 with duplicates) at 24, the rest after it.
struct BenchRecord {
  int32_t id;
  std::string name;  // kNameLength characters
  int64_t amount;
  std::array<uint8_t, kRestLength> rest;
};

struct BenchWork {
  std::vector<BenchRecord> records;  // in random order of id
  std::vector<int32_t> readIds;      // uniform over the ids
  std::vector<std::string> scanStarts;
};

BenchWork MakeWork(int recordCount, int readCount, int scanCount, uint32_t seed);

std::array<uint8_t, kRecordLength> RecordBytes(const BenchRecord& record);

}  // namespace bench
