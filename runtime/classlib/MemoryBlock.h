// The built-in MemoryBlock: a run of bytes that owns its storage (it knows its
// size and checks every access against it) or wraps a foreign address (size
// unknown, nothing checked: the caller answers for it).
//
// Invariants:
//  - An owned block's data holds exactly size bytes and is null when size is 0;
//    nothing is ever read or written outside them.
//  - A wrapping block has size 0 and never frees its data.
//  - Multi-byte values are stored with their bytes reversed exactly when
//    LittleEndian differs from the machine's byte order.
#pragma once

#include <cstdint>

#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::classlib {

struct MemoryBlockObject {
  RTObject header;
  std::int32_t size;  // meaningful only when owned
  unsigned char* data;
  std::uint8_t owned;
  std::uint8_t littleEndian;
};

extern const ClassDefinition memoryBlockClass;

void registerMemoryBlockClass();

inline MemoryBlockObject& blockOf(RTObject* block) {
  return *reinterpret_cast<MemoryBlockObject*>(block);
}

// The bytes a block is known to hold: its size when owned, else 0.
inline std::int32_t knownSize(const MemoryBlockObject& block) {
  return block.owned ? block.size : 0;
}

// Returns a new owned block of size zero bytes (size at least 0), or nil
// after raising OutOfMemoryException.
[[nodiscard]] RTObject* newOwnedBlock(std::int32_t size);

}  // namespace rt::classlib
