// The language's string functions as compiled code calls them. Positions are
// 1-based. The character forms (DBCS) count code points in UTF-8 text, units in
// UTF-16 and UTF-32 text and bytes in all other text; the byte forms count
// bytes whatever the encoding. Every RTString argument is borrowed; every
// RTString result is a new reference, which is the argument itself (shared)
// where the result is the whole of it.
#pragma once

#include <stdint.h>

#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Returns the first n characters.
RTString StringDBCSLeft(RTString s, int32_t n);
// Returns the last n characters.
RTString StringDBCSRight(RTString s, int32_t n);
// Returns count characters from character position start.
RTString StringDBCSMid3(RTString s, int32_t start, int32_t count);
// Returns the characters from position start to the end.
RTString StringDBCSMid2(RTString s, int32_t start);
// Returns the number of characters.
int32_t StringDBCSLen(RTString s);
// Returns the code of the first character (0 for the empty string).
int32_t StringDBCSAsc(RTString s);
// Returns a new one- or two-byte string of the code's bytes, never UTF-8.
RTString StringDBCSChr(int32_t code);

// Returns the first n bytes.
RTString StringLeft(RTString s, int32_t n);
// Returns the last n bytes.
RTString StringRight(RTString s, int32_t n);
// Returns count bytes from byte position start.
RTString StringMid3(RTString s, int32_t start, int32_t count);
// Returns the bytes from byte position start to the end.
RTString StringMid2(RTString s, int32_t start);
// Returns the number of bytes.
int32_t StringLen(RTString s);
// Returns the first byte, unsigned (0 for the empty string).
int32_t StringAsc(RTString s);
// Returns a new one-byte string of the low 8 bits of code.
RTString StringChr(int32_t code);

// Returns the character position of find in source at or after start, ignoring
// case, or 0; an empty find gives start.
int32_t StringInStr(int32_t start, RTString source, RTString find);
// Returns the byte position of find in source at or after start, matching case
// exactly, or 0; an empty find gives start.
int32_t StringInStrB(int32_t start, RTString source, RTString find);

// Returns s without leading and trailing white space.
RTString runTrim(RTString s);
// Returns s without leading white space.
RTString runLTrim(RTString s);
// Returns s without trailing white space.
RTString runRTrim(RTString s);

// Returns the number at the start of s ("&h", "&o" and "&b" select a radix).
double StringVal(RTString s);
// Each returns a new ASCII string of the decimal text of n.
RTString StringStrInt8(int8_t n);
RTString StringStrInt16(int16_t n);
RTString StringStrUInt8(uint8_t n);
RTString StringStrUInt16(uint16_t n);
RTString StringStrInt32(int32_t n);
RTString StringStrUInt32(uint32_t n);
RTString StringStrInt64(int64_t n);
RTString StringStrUInt64(uint64_t n);

#ifdef __cplusplus
}
#endif
