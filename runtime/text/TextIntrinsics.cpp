#include <array>

#include "host/IntrinsicTable.h"
#include "text/EncodingApi.h"
#include "text/StringApi.h"
#include "text/StringCompare.h"
#include "text/StringFunctionsApi.h"

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
      RT_INTRINSIC(TOLVStringLength),
      RT_INTRINSIC(TOLVSetStringEncoding),
      RT_INTRINSIC(TOLVConvertString),
      RT_INTRINSIC(StringConvertEncoding),
      RT_INTRINSIC(StringDBCSLeft),
      RT_INTRINSIC(StringDBCSRight),
      RT_INTRINSIC(StringDBCSMid3),
      RT_INTRINSIC(StringDBCSMid2),
      RT_INTRINSIC(StringDBCSLen),
      RT_INTRINSIC(StringDBCSAsc),
      RT_INTRINSIC(StringDBCSChr),
      RT_INTRINSIC(StringLeft),
      RT_INTRINSIC(StringRight),
      RT_INTRINSIC(StringMid3),
      RT_INTRINSIC(StringMid2),
      RT_INTRINSIC(StringLen),
      RT_INTRINSIC(StringAsc),
      RT_INTRINSIC(StringChr),
      RT_INTRINSIC(StringInStr),
      RT_INTRINSIC(StringInStrB),
      RT_INTRINSIC(runTrim),
      RT_INTRINSIC(runLTrim),
      RT_INTRINSIC(runRTrim),
      RT_INTRINSIC(StringVal),
      RT_INTRINSIC(StringStrInt8),
      RT_INTRINSIC(StringStrInt16),
      RT_INTRINSIC(StringStrUInt8),
      RT_INTRINSIC(StringStrUInt16),
      RT_INTRINSIC(StringStrInt32),
      RT_INTRINSIC(StringStrUInt32),
      RT_INTRINSIC(StringStrInt64),
      RT_INTRINSIC(StringStrUInt64),
  };
  return entries;
}

}  // namespace rt::intrinsics
