// Entry points for arrays. CreateArray returns a new reference; array
// arguments are borrowed.
#pragma once

#include <stdint.h>

#include "objects/ArrayBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Returns a new array of the element type with one upper bound per dimension
// (variadic int32 arguments); the elements start zero (nil for references).
RTArray* CreateArray(int32_t dimensions, int32_t elementType, ...);
// Returns a new array of fixed-size structures sharing one method table.
RTArray* RuntimeCreateStructureArray(int32_t dimensions, int32_t elementSize, ...);

void RuntimeLockArray(RTArray* array);
void RuntimeUnlockArray(RTArray* array);
void RuntimeLockUnlockArrays(RTArray* newValue, RTArray* oldValue);

// Upper bound of dimension 1; raises NilObjectException for nil (returns 0).
int32_t RuntimeUBound(RTArray* array, ...);
// Upper bound of a dimension, or the dimension count for -1; raises for nil (returns -1).
int32_t RuntimeUBound2Param(RTArray* array, int32_t dimension);

#ifdef __cplusplus
}
#endif
