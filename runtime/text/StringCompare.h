// Concatenation and case-insensitive comparison of strings, the two services
// compiled code calls for every string expression. Strings of different
// encodings first meet in their common encoding (EncodingConversion.h).
#pragma once

#include <stdint.h>

#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Borrows both; returns a new reference to left + right (an operand itself
// when the other is empty), tagged with their common encoding.
RTString RuntimeAddString(RTString left, RTString right);
// Borrows both; case-insensitive: negative when a sorts before b, 0 when equal,
// positive after.
int32_t RuntimeStringCompare(RTString a, RTString b);

#ifdef __cplusplus
}
#endif
