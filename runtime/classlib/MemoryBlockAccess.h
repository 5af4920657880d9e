// Checked access to the bytes of a MemoryBlock, shared by its accessors.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "classlib/MemoryBlock.h"

namespace rt::classlib {

// The address of n bytes at offset, or null after raising when the block is
// nil (NilObjectException) or the access is refused (OutOfBoundsException):
// n is negative, the block has no data, or it is owned and the bytes are not
// all inside it. (An owned block of size 0 has no data: it refuses everything.)
unsigned char* reach(RTObject* block, std::int64_t offset, std::int64_t n);

// Whether multi-byte values of the block are stored byte-reversed.
inline bool swapsBytes(const MemoryBlockObject& block) {
  return (block.littleEndian != 0) != (std::endian::native == std::endian::little);
}

template <class T>
T load(const unsigned char* at, bool swap) {
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, at, sizeof(T));
  if (swap) std::reverse(std::begin(bytes), std::end(bytes));
  T value;
  std::memcpy(&value, bytes, sizeof(T));
  return value;
}

template <class T>
void store(unsigned char* at, T value, bool swap) {
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  if (swap) std::reverse(std::begin(bytes), std::end(bytes));
  std::memcpy(at, bytes, sizeof(T));
}

// A value of type T at offset, or T{} when the read is refused.
template <class T>
T read(RTObject* block, std::int32_t offset) {
  const unsigned char* at = reach(block, offset, sizeof(T));
  return at != nullptr ? load<T>(at, swapsBytes(blockOf(block))) : T{};
}

template <class T>
void write(RTObject* block, std::int32_t offset, T value) {
  if (unsigned char* at = reach(block, offset, sizeof(T))) {
    store(at, value, swapsBytes(blockOf(block)));
  }
}

}  // namespace rt::classlib
