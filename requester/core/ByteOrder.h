#pragma once
// Integers in page bytes: little-endian for fields, big-endian where byte order must be numeric order (tree keys).
#include <cstddef>
#include <cstdint>

namespace reqcore {

template <typename T>
void PutLittle(uint8_t* at, T value) {
  for (size_t i = 0; i < sizeof(T); ++i) at[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
}

template <typename T>
T GetLittle(const uint8_t* at) {
  uint64_t v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<uint64_t>(at[i]) << (8 * i);
  return static_cast<T>(v);
}

template <typename T>
void PutBig(uint8_t* at, T value) {
  for (size_t i = 0; i < sizeof(T); ++i)
    at[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * (sizeof(T) - 1 - i)));
}

template <typename T>
T GetBig(const uint8_t* at) {
  uint64_t v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) v = (v << 8) | at[i];
  return static_cast<T>(v);
}

}  // namespace reqcore
