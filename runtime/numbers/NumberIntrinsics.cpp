#include <array>

#include "host/IntrinsicTable.h"
#include "numbers/NumberApi.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> numberFunctions() {
  static const std::array entries{
      RT_INTRINSIC(rnd),
      RT_INTRINSIC(RuntimeRound),
      RT_INTRINSIC(RuntimeCvtSInt32ToReal64),
      RT_INTRINSIC(RuntimeCvtReal64ToSInt32),
  };
  return entries;
}

}  // namespace rt::intrinsics
