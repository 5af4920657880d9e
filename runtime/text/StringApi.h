// Entry points for string storage: reference counting, construction and raw
// access. Every function returning an RTString returns a new reference that
// the caller must unlock; RTString arguments are borrowed.
#pragma once

#include <stdint.h>
#include <wchar.h>

#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Adds one reference; null is ignored.
void RuntimeLockString(RTString s);
// Drops one reference and frees the block at zero; null is ignored.
void RuntimeUnlockString(RTString s);
// Store with counting: locks newValue, then unlocks oldValue (nothing when equal).
void RuntimeLockUnlockStrings(RTString newValue, RTString oldValue);

// Returns a new string of the given bytes, untagged (unknown); length 0 gives null.
RTString TOLVBuildString(const void* bytes, uint32_t length);
// Returns the bytes up to the first zero, tagged ASCII; null gives null.
RTString StringFromCString(const char* text);
// Returns p[1 .. p[0]], tagged ASCII; null gives null.
RTString StringFromPString(const unsigned char* pascalText);
// Returns the wide characters up to the first 0, tagged UTF-32.
RTString StringFromWString(const wchar_t* text);

// Borrows the text as a zero-terminated string ("" for null).
const char* StringGetCString(RTString s);
// Borrows the text as a Pascal string (a static empty one for null).
const unsigned char* StringGetPString(RTString s);
// The length of s in bytes (0 for null).
uint32_t TOLVStringLength(RTString s);
uint32_t TOLVGetStringEncoding(RTString s);
void TOLVSetStringEncoding(RTString s, uint32_t encoding);

// Returns base[offset .. offset + size) without trailing zero bytes, untagged.
RTString RuntimeGetStructureString(const void* base, int32_t offset, int32_t size);
// Copies min(size, length) bytes of s to base + offset and zero-fills the rest;
// a size of 0 or below writes nothing.
void RuntimeSetStructureString(void* base, int32_t offset, int32_t size, RTString s);

#ifdef __cplusplus
}
#endif
