// The 36 method tables of arrays: one per element type for one dimension, two
// dimensions, and three or more.
#pragma once

#include <cstdint>

#include "objects/ArrayBlock.h"

namespace rt::arrays {

// The table for an element type and dimension count, or null for an unknown type.
const ArrayMethodTable* methodTable(std::int32_t elementType, std::int32_t dimensions);

// The shared table of structure arrays whose elements have the given size.
const ArrayMethodTable* structureMethodTable(std::int32_t elementSize);

}  // namespace rt::arrays
