#include <array>
#include <span>

#include "classlib/BlowfishApi.h"
#include "classlib/BoxedValueApi.h"
#include "classlib/DictionaryApi.h"
#include "classlib/MemoryBlockApi.h"
#include "host/IntrinsicTable.h"

namespace rt::intrinsics {

// dictionaryValueByIndex is not listed: the Dictionary class registers it when
// it is set up.
std::span<const IntrinsicEntry> classlibFunctions() {
  static const std::array entries{
      RT_INTRINSIC(Int32ObjectHash),
      RT_INTRINSIC(UInt32ObjectHash),
      RT_INTRINSIC(Int64ObjectHash),
      RT_INTRINSIC(UInt64ObjectHash),
      RT_INTRINSIC(SingleObjectHash),
      RT_INTRINSIC(DoubleObjectHash),
      RT_INTRINSIC(BooleanObjectHash),
      RT_INTRINSIC(ColorObjectHash),
      RT_INTRINSIC(StringObjectHash),

      RT_INTRINSIC(dictionaryConstructor),
      RT_INTRINSIC(dictionaryDestructor),
      RT_INTRINSIC(dictionaryCount),
      RT_INTRINSIC(dictionaryGetBins),
      RT_INTRINSIC(dictionarySetBins),
      RT_INTRINSIC(dictionaryValueGetter),
      RT_INTRINSIC(dictionaryValueSetter),
      RT_INTRINSIC(DictionaryLookup),
      RT_INTRINSIC(dictionaryHasKey),
      RT_INTRINSIC(dictionaryKey),
      RT_INTRINSIC(dictionaryRemove),
      RT_INTRINSIC(dictionaryRemoveAll),
      RT_INTRINSIC(dictionaryKeys),
      RT_INTRINSIC(dictionaryValues),

      RT_INTRINSIC(MemoryBlockInitializer),
      RT_INTRINSIC(MemoryBlockFinalizer),
      RT_INTRINSIC(memoryBlockNewConstructor),
      RT_INTRINSIC(newMemoryBlock),
      RT_INTRINSIC(PtrToMemoryBlock),
      RT_INTRINSIC(ConvertPtrToMemoryBlock),
      RT_INTRINSIC(memoryBlockGetPtr),
      RT_INTRINSIC(memoryBlockGetSize),
      RT_INTRINSIC(memoryBlockSetSize),
      RT_INTRINSIC(memoryGetByte),
      RT_INTRINSIC(memorySetByte),
      RT_INTRINSIC(memoryGetInt8),
      RT_INTRINSIC(memorySetInt8),
      RT_INTRINSIC(memoryGetUInt8),
      RT_INTRINSIC(memorySetUInt8),
      RT_INTRINSIC(memoryGetBoolean),
      RT_INTRINSIC(memorySetBoolean),
      RT_INTRINSIC(memoryGetShort),
      RT_INTRINSIC(memorySetShort),
      RT_INTRINSIC(memoryGetInt16),
      RT_INTRINSIC(memorySetInt16),
      RT_INTRINSIC(memoryGetUShort),
      RT_INTRINSIC(memoryGetUInt16),
      RT_INTRINSIC(memorySetUInt16),
      RT_INTRINSIC(memoryGetLong),
      RT_INTRINSIC(memorySetLong),
      RT_INTRINSIC(memoryGetUInt32),
      RT_INTRINSIC(memorySetUInt32),
      RT_INTRINSIC(memoryGetSingle),
      RT_INTRINSIC(memorySetSingle),
      RT_INTRINSIC(memoryGetPtr),
      RT_INTRINSIC(memorySetPtr),
      RT_INTRINSIC(memoryGetInt64),
      RT_INTRINSIC(memorySetInt64),
      RT_INTRINSIC(memoryGetUInt64),
      RT_INTRINSIC(memorySetUInt64),
      RT_INTRINSIC(memoryGetDouble),
      RT_INTRINSIC(memorySetDouble),
      RT_INTRINSIC(memoryGetColor),
      RT_INTRINSIC(memorySetColor),
      RT_INTRINSIC(memoryGetPString),
      RT_INTRINSIC(memorySetPString),
      RT_INTRINSIC(memoryGetCString),
      RT_INTRINSIC(memorySetCString),
      RT_INTRINSIC(memoryGetWString),
      RT_INTRINSIC(memorySetWString),
      RT_INTRINSIC(memoryGetString),
      RT_INTRINSIC(memorySetString),
      RT_INTRINSIC(MemoryBlockToStringOperator),
      RT_INTRINSIC(MemoryBlockFromStringOperator),
      RT_INTRINSIC(MemoryBlockAddOperator),
      RT_INTRINSIC(MemoryBlockCompareOperator),
      RT_INTRINSIC(MemoryBlockLeftB),
      RT_INTRINSIC(MemoryBlockMidB2),
      RT_INTRINSIC(MemoryBlockMidB3),
      RT_INTRINSIC(MemoryBlockRightB),

      RT_INTRINSIC(BlowfishInitialize),
      RT_INTRINSIC(BlowfishEncipher),
      RT_INTRINSIC(BlowfishDecipher),
      RT_INTRINSIC(BlowfishEncipherByBlock),
      RT_INTRINSIC(BlowfishDecipherByBlock),
  };
  return entries;
}

}  // namespace rt::intrinsics
