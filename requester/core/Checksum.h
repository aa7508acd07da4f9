#pragma once
// The checksum of log entries, commit slots and pages.
#include <cstdint>
#include <string_view>

namespace reqcore {

// Eight bytes at a time; each step is a bijection of the running value, so any change of a single word shows.
// seed tells apart equal bytes that belong in different places (a page's number).
uint64_t Checksum(std::string_view bytes, uint64_t seed = 0);

}  // namespace reqcore
