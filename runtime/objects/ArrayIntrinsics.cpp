#include <array>

#include "host/IntrinsicTable.h"
#include "objects/ArrayApi.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> arrayFunctions() {
  static const std::array entries{
      RT_INTRINSIC(CreateArray),
      RT_INTRINSIC(RuntimeCreateStructureArray),
      RT_INTRINSIC(RuntimeLockArray),
      RT_INTRINSIC(RuntimeUnlockArray),
      RT_INTRINSIC(RuntimeLockUnlockArrays),
      RT_INTRINSIC(RuntimeUBound),
      RT_INTRINSIC(RuntimeUBound2Param),
  };
  return entries;
}

}  // namespace rt::intrinsics
