// Counted handle for runtime arrays, and element access for C++ code.
#pragma once

#include <cstdint>

#include "objects/ArrayApi.h"
#include "objects/Ref.h"
#include "text/StringHandle.h"

namespace rt {

struct ArrayTraits {
  static void lock(RTArray* array) { RuntimeLockArray(array); }
  static void unlock(RTArray* array) { RuntimeUnlockArray(array); }
};

using Array = Ref<RTArray, ArrayTraits>;

// Creates a one-dimensional array of the element type with indices 0 to
// upperBound; throws what the creation raises.
Array newArray(std::int32_t elementType, std::int32_t upperBound);

// Element access of one-dimensional Integer and String arrays through the
// array's own method table, as compiled code does it: bounds are checked and
// an access outside them throws OutOfBoundsException, a null array
// NilObjectException.
std::int32_t integerAt(const Array& array, std::int32_t index);
void setIntegerAt(const Array& array, std::int32_t index, std::int32_t value);
String stringAt(const Array& array, std::int32_t index);
void setStringAt(const Array& array, std::int32_t index, const String& value);

}  // namespace rt
