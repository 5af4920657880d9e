// The hash methods of the boxed classes (their Operator_Hash%i4%o<...>
// entries). Each borrows its object; a nil object hashes to 0.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"

#ifdef __cplusplus
extern "C" {
#endif

// The fold of the value's 4 bytes.
int32_t Int32ObjectHash(RTObject* object);
int32_t UInt32ObjectHash(RTObject* object);
int32_t ColorObjectHash(RTObject* object);
// The fold of the value's 8 bytes; a Single is held as a double.
int32_t Int64ObjectHash(RTObject* object);
int32_t UInt64ObjectHash(RTObject* object);
int32_t SingleObjectHash(RTObject* object);
int32_t DoubleObjectHash(RTObject* object);
// 0 or 1.
int32_t BooleanObjectHash(RTObject* object);
// h = 31 h + c over the bytes, each a signed byte with a-z taken as A-Z, so
// texts that differ only in the case of ASCII letters hash alike.
int32_t StringObjectHash(RTObject* object);

#ifdef __cplusplus
}
#endif
