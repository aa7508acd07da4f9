#pragma once
// The byte-range locks every client of a record file takes on it. They lie far beyond any data, so locking them
// never blocks reads or writes of the file.
#include <cstdint>

namespace reqcore {

constexpr uint64_t LockBase = 1ull << 40;
constexpr uint64_t OpenRegion = LockBase;             // shared by every open, exclusive for an exclusive open
constexpr uint64_t ExclusiveRegion = LockBase + 1;    // held by the exclusive opener
constexpr uint64_t WriteRegion = LockBase + 2;        // held while a change is committed
constexpr uint64_t TransactionRegion = LockBase + 3;  // held by the client whose open transaction wrote the file
constexpr uint64_t RecordRegion(uint32_t position) { return LockBase + 16 + position; }

}  // namespace reqcore
