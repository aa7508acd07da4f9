#include "requester/core/Checksum.h"

#include <cstring>

namespace reqcore {

uint64_t Checksum(std::string_view bytes, uint64_t seed) {
  constexpr uint64_t Odd = 0x9E3779B97F4A7C15ull;
  uint64_t h = 0x243F6A8885A308D3ull ^ bytes.size() ^ (seed * Odd);
  size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + at, 8);
    h = (h ^ word * Odd) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 29;
  }
  uint64_t tail = 0;
  for (size_t i = 0; at + i < bytes.size(); ++i) tail |= uint64_t(uint8_t(bytes[at + i])) << (8 * i);
  h = (h ^ tail * Odd) * 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 32);
}

}  // namespace reqcore
