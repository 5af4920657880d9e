// Entry points of the MemoryBlock class. The block comes first; offsets are
// byte offsets from 0. Blocks, strings and encodings passed in are borrowed;
// every block or string returned is a new reference.
//
// An access of n bytes at offset o to an owned block is refused when o < 0,
// when o + n is greater than the size, or (for reads) when the size is 0; an
// access to a block without data is always refused. A refused access raises
// OutOfBoundsException, changes nothing and reads 0 or nil. A wrapping block
// checks nothing else. A nil block raises NilObjectException.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Initializer: LittleEndian true.
void MemoryBlockInitializer(RTObject* block);
// Finalizer: frees the bytes of an owned block.
void MemoryBlockFinalizer(RTObject* block);
// Gives the block max(size, 0) zero bytes of its own; raises
// OutOfMemoryException when a positive size cannot be allocated.
void memoryBlockNewConstructor(RTObject* block, int32_t size);
// Returns a new owned block of max(size, 0) zero bytes, or nil after raising
// OutOfMemoryException.
RTObject* newMemoryBlock(int32_t size);
// Returns a new block wrapping address (size 0, not owned).
RTObject* PtrToMemoryBlock(void* address);
// The conversion of an address to a block: like PtrToMemoryBlock, but a null
// address converts to nil.
RTObject* ConvertPtrToMemoryBlock(void* address);
// The address of the block's first byte (null for nil or a block without data).
void* memoryBlockGetPtr(RTObject* block);

// The size of an owned block, -1 for a wrapping one.
int32_t memoryBlockGetSize(RTObject* block);
// Resizes to size zero-extended bytes of the block's own, keeping the first
// min(old, new) bytes; a negative size raises OutOfBoundsException.
void memoryBlockSetSize(RTObject* block, int32_t size);

int32_t memoryGetByte(RTObject* block, int32_t offset);
void memorySetByte(RTObject* block, int32_t offset, int32_t value);
int32_t memoryGetInt8(RTObject* block, int32_t offset);
void memorySetInt8(RTObject* block, int32_t offset, int32_t value);
int32_t memoryGetUInt8(RTObject* block, int32_t offset);
void memorySetUInt8(RTObject* block, int32_t offset, int32_t value);
// Nonzero byte: true. Stores 1 or 0.
uint8_t memoryGetBoolean(RTObject* block, int32_t offset);
void memorySetBoolean(RTObject* block, int32_t offset, uint8_t value);

int32_t memoryGetShort(RTObject* block, int32_t offset);
void memorySetShort(RTObject* block, int32_t offset, int32_t value);
int32_t memoryGetInt16(RTObject* block, int32_t offset);
void memorySetInt16(RTObject* block, int32_t offset, int32_t value);
int32_t memoryGetUShort(RTObject* block, int32_t offset);
int32_t memoryGetUInt16(RTObject* block, int32_t offset);
void memorySetUInt16(RTObject* block, int32_t offset, int32_t value);

int32_t memoryGetLong(RTObject* block, int32_t offset);
void memorySetLong(RTObject* block, int32_t offset, int32_t value);
uint32_t memoryGetUInt32(RTObject* block, int32_t offset);
void memorySetUInt32(RTObject* block, int32_t offset, uint32_t value);
// A 4-byte float, returned as a double.
double memoryGetSingle(RTObject* block, int32_t offset);
void memorySetSingle(RTObject* block, int32_t offset, float value);
// An address of the machine's pointer size: read as a new wrapping block
// (nil for a null address); written from a block's data address (0 for nil).
RTObject* memoryGetPtr(RTObject* block, int32_t offset);
void memorySetPtr(RTObject* block, int32_t offset, RTObject* value);

int64_t memoryGetInt64(RTObject* block, int32_t offset);
void memorySetInt64(RTObject* block, int32_t offset, int64_t value);
uint64_t memoryGetUInt64(RTObject* block, int32_t offset);
void memorySetUInt64(RTObject* block, int32_t offset, uint64_t value);
double memoryGetDouble(RTObject* block, int32_t offset);
void memorySetDouble(RTObject* block, int32_t offset, double value);

// A colour (0xRRGGBB, with whatever the top byte holds for 32 bits) stored in
// bits / 8 bytes: 16 bits as 5-5-5 (red in bits 10-14, blue in bits 0-4), 24
// and 32 bits as a number of that width in the block's byte order. Other bit
// counts read 0 and write nothing.
uint32_t memoryGetColor(RTObject* block, int32_t offset, int32_t bits);
void memorySetColor(RTObject* block, int32_t offset, int32_t bits, uint32_t color);

// A length byte at offset, then that many bytes; untagged.
RTString memoryGetPString(RTObject* block, int32_t offset);
// Writes the length's low 8 bits and every byte of text, then a zero byte
// when an owned block has room for it.
void memorySetPString(RTObject* block, int32_t offset, RTString text);
// The bytes from offset up to the first zero byte or the end of an owned block; untagged.
RTString memoryGetCString(RTObject* block, int32_t offset);
// Writes the bytes of text and a zero byte.
void memorySetCString(RTObject* block, int32_t offset, RTString text);
// 32-bit units up to the first zero unit or the end of an owned block, in the
// block's byte order, as UTF-32 text.
RTString memoryGetWString(RTObject* block, int32_t offset);
// Writes text as UTF-32 units in the block's byte order and a zero unit.
void memorySetWString(RTObject* block, int32_t offset, RTString text);
// length bytes from offset, tagged with the encoding of a TextEncoding object
// (untagged for nil).
RTString memoryGetString(RTObject* block, int32_t offset, int32_t length, RTObject* encoding);
// Writes text (converted to the encoding when one is given) into the length
// bytes from offset: as many bytes as fit, the rest zero.
void memorySetString(RTObject* block, int32_t offset, int32_t length, RTObject* encoding,
                     RTString text);

// The bytes of an owned block as an untagged string.
RTString MemoryBlockToStringOperator(RTObject* block);
// A new owned block holding the bytes of text (size 0 for the empty string).
RTObject* MemoryBlockFromStringOperator(RTString text);
// A new owned block holding the bytes of a, then those of b (nil counts as empty).
RTObject* MemoryBlockAddOperator(RTObject* a, RTObject* b);
// Byte-wise comparison: 0 for equal, the difference of the first differing
// bytes, or -1 / 1 when one block is a prefix of the other.
int32_t MemoryBlockCompareOperator(RTObject* a, RTObject* b);

// New owned blocks of a piece of the block (nil when the piece is empty),
// inheriting LittleEndian.
RTObject* MemoryBlockLeftB(RTObject* block, int32_t count);
RTObject* MemoryBlockMidB2(RTObject* block, int32_t start);
RTObject* MemoryBlockMidB3(RTObject* block, int32_t start, int32_t count);
RTObject* MemoryBlockRightB(RTObject* block, int32_t count);

#ifdef __cplusplus
}
#endif
