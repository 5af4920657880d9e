#include <array>

#include "host/IntrinsicTable.h"
#include "text/StringApi.h"
#include "text/StringCompare.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> textFunctions() {
  static const std::array entries{
      RT_INTRINSIC(RuntimeLockString),
      RT_INTRINSIC(RuntimeUnlockString),
      RT_INTRINSIC(RuntimeLockUnlockStrings),
      RT_INTRINSIC(RuntimeAddString),
      RT_INTRINSIC(RuntimeStringCompare),
      RT_INTRINSIC(RuntimeGetStructureString),
      RT_INTRINSIC(RuntimeSetStructureString),
      RT_INTRINSIC(TOLVBuildString),
      RT_INTRINSIC_NAMED("TOLVLockString", RuntimeLockString),
      RT_INTRINSIC_NAMED("TOLVUnlockString", RuntimeUnlockString),
      RT_INTRINSIC(StringFromCString),
      RT_INTRINSIC(StringFromPString),
      RT_INTRINSIC(StringFromWString),
      RT_INTRINSIC(StringGetCString),
      RT_INTRINSIC(StringGetPString),
      RT_INTRINSIC(TOLVGetStringEncoding),
      RT_INTRINSIC(TOLVSetStringEncoding),
  };
  return entries;
}

}  // namespace rt::intrinsics
