// Concatenation and case-insensitive comparison of strings, the two services
// compiled code calls for every string expression.
#pragma once

#include <stdint.h>

#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Returns left + right as a new reference (an operand itself when the other is empty).
RTString RuntimeAddString(RTString left, RTString right);
// Case-insensitive: negative when a sorts before b, 0 when equal, positive after.
int32_t RuntimeStringCompare(RTString a, RTString b);

#ifdef __cplusplus
}
#endif
