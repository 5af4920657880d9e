// Operations on array blocks shared by every element type.
#pragma once

#include <cstddef>
#include <cstdint>

#include "objects/ArrayBlock.h"

namespace rt::arrays {

constexpr const char* kSourceFile = "../Common/RuntimeArrayFoundation";
constexpr std::int32_t kInitialGrowthStep = 16;

// Number of elements: the product over dimensions of (upper bound + 1).
std::int64_t elementCount(const RTArray* array);
std::int32_t elementSize(const RTArray* array);

// A new zero-filled data buffer of the given size (null for 0 bytes).
void* allocateData(std::size_t bytes);
void releaseData(RTArray* array);

// Reports an operation meant for one dimension used on more; true when usable.
bool requireOneDimension(const RTArray* array);

// The linear position of an element, or -1 (after raising OutOfBoundsException)
// when an index lies outside its dimension.
std::int64_t linearPosition(const RTArray* array, const std::int32_t* indexes);

// Allocates an array block with its bounds and data; null after a report when
// the sizes cannot be represented.
RTArray* newArray(const ArrayMethodTable* methods, std::int32_t dimensions,
                  const std::int32_t* upperBounds, std::int32_t elementSize);
void freeArrayBlock(RTArray* array);

}  // namespace rt::arrays
