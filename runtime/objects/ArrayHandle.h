// Counted handle for runtime arrays.
#pragma once

#include "objects/ArrayApi.h"
#include "objects/Ref.h"

namespace rt {

struct ArrayTraits {
  static void lock(RTArray* array) { RuntimeLockArray(array); }
  static void unlock(RTArray* array) { RuntimeUnlockArray(array); }
};

using Array = Ref<RTArray, ArrayTraits>;

}  // namespace rt
