// The storage of a runtime string.
//
// A String is a pointer to one reference-counted block: the header below, a
// Pascal length byte, the text bytes and a terminating zero, so the buffer is
// at the same time a length-prefixed and a zero-terminated string.
//
// Invariants:
//  - The null pointer is the one empty string: no block of length 0 exists.
//  - capacity == length + 2 (length byte, text, terminator).
//  - lengthByte == min(length, 255).
//  - A block shared by several holders is never changed in place.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct StringBlock {
  uint32_t refCount;
  unsigned char* buffer;  // address of lengthByte
  uint32_t capacity;
  uint32_t length;
  uint32_t encoding;
  unsigned char lengthByte;
  char text[];  // length bytes, then a zero byte
} StringBlock;

typedef StringBlock* RTString;

// Bytes a block of the given text length occupies.
static inline size_t StringBlockSize(uint32_t length) {
  return offsetof(StringBlock, lengthByte) + (size_t)length + 2;
}

#ifdef __cplusplus
}
#endif
