// The fold that turns the bytes of a key into a 32-bit hash: the bytes are
// taken as 32-bit little-endian words w0, w1, ...; the hash is w0 rotated left
// by 16 bits, XORed with every later word from the last down to w1.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace rt::classlib {

inline std::uint32_t fold32(std::uint32_t word) { return std::rotl(word, 16); }

// Eight bytes read as words: w0 is the low half of the little-endian value.
inline std::uint32_t fold64(std::uint64_t value) {
  return fold32(static_cast<std::uint32_t>(value)) ^ static_cast<std::uint32_t>(value >> 32);
}

inline std::uint32_t foldDouble(double value) {
  return fold64(std::bit_cast<std::uint64_t>(value));
}

// A reference folds the bytes of its address, all eight of them on a 64-bit build.
inline std::uint32_t foldAddress(const void* address) {
  const auto bits = reinterpret_cast<std::uintptr_t>(address);
  if constexpr (sizeof bits == sizeof(std::uint64_t)) return fold64(bits);
  return fold32(static_cast<std::uint32_t>(bits));
}

}  // namespace rt::classlib
