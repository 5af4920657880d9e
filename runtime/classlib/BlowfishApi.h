// Entry points of the internal class _Blowfish, which holds one key schedule.
// The object comes first; it and every argument are borrowed. A nil object
// raises NilObjectException.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Sets the key from the bytes of initStr up to its first zero byte. No key
// bytes (the empty string, or a zero first byte) are reported as a failure and
// leave the schedule as it was.
void BlowfishInitialize(RTObject* blowfish, RTString initStr);

// Enciphers (deciphers) the 64-bit block left:right in place.
void BlowfishEncipher(RTObject* blowfish, uint32_t* left, uint32_t* right);
void BlowfishDecipher(RTObject* blowfish, uint32_t* left, uint32_t* right);

// Enciphers (deciphers) a MemoryBlock in place, each 8 bytes alone (no
// chaining, no padding), the halves read and written as Longs in the block's
// byte order. A size that is not a multiple of 8 raises
// UnsupportedFormatException and changes nothing; a nil block or one without
// data is left alone.
void BlowfishEncipherByBlock(RTObject* blowfish, RTObject* block);
void BlowfishDecipherByBlock(RTObject* blowfish, RTObject* block);

#ifdef __cplusplus
}
#endif
