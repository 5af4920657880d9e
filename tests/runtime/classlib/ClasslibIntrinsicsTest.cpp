#include <gtest/gtest.h>

#include "classlib/BlowfishApi.h"
#include "classlib/BlowfishObject.h"
#include "classlib/BoxedValueApi.h"
#include "classlib/BoxedValues.h"
#include "classlib/ClasslibClasses.h"
#include "classlib/Dictionary.h"
#include "classlib/DictionaryApi.h"
#include "classlib/MemoryBlock.h"
#include "classlib/MemoryBlockApi.h"
#include "host/IntrinsicTable.h"
#include "objects/ClassRegistry.h"
#include "text/StringHandle.h"

namespace {

#define ENTRY(name) \
  Entry { #name, reinterpret_cast < void*>(&name) }

struct Entry {
  const char* name;
  void* function;
};

TEST(ClasslibIntrinsics, EveryEntryPointIsBoundUnderItsName) {
  const Entry entries[] = {
      // boxed values
      ENTRY(Int32ObjectHash), ENTRY(UInt32ObjectHash), ENTRY(Int64ObjectHash),
      ENTRY(UInt64ObjectHash), ENTRY(SingleObjectHash), ENTRY(DoubleObjectHash),
      ENTRY(BooleanObjectHash), ENTRY(ColorObjectHash), ENTRY(StringObjectHash),
      // Dictionary
      ENTRY(dictionaryConstructor), ENTRY(dictionaryDestructor), ENTRY(dictionaryCount),
      ENTRY(dictionaryGetBins), ENTRY(dictionarySetBins), ENTRY(dictionaryValueGetter),
      ENTRY(dictionaryValueSetter), ENTRY(DictionaryLookup), ENTRY(dictionaryHasKey),
      ENTRY(dictionaryKey), ENTRY(dictionaryRemove), ENTRY(dictionaryRemoveAll),
      ENTRY(dictionaryKeys), ENTRY(dictionaryValues),
      // MemoryBlock
      ENTRY(MemoryBlockInitializer), ENTRY(MemoryBlockFinalizer), ENTRY(memoryBlockNewConstructor),
      ENTRY(newMemoryBlock), ENTRY(PtrToMemoryBlock), ENTRY(ConvertPtrToMemoryBlock),
      ENTRY(memoryBlockGetPtr), ENTRY(memoryBlockGetSize), ENTRY(memoryBlockSetSize),
      ENTRY(memoryGetByte), ENTRY(memorySetByte), ENTRY(memoryGetInt8), ENTRY(memorySetInt8),
      ENTRY(memoryGetUInt8), ENTRY(memorySetUInt8), ENTRY(memoryGetBoolean),
      ENTRY(memorySetBoolean), ENTRY(memoryGetShort), ENTRY(memorySetShort), ENTRY(memoryGetInt16),
      ENTRY(memorySetInt16), ENTRY(memoryGetUShort), ENTRY(memoryGetUInt16), ENTRY(memorySetUInt16),
      ENTRY(memoryGetLong), ENTRY(memorySetLong), ENTRY(memoryGetUInt32), ENTRY(memorySetUInt32),
      ENTRY(memoryGetSingle), ENTRY(memorySetSingle), ENTRY(memoryGetPtr), ENTRY(memorySetPtr),
      ENTRY(memoryGetInt64), ENTRY(memorySetInt64), ENTRY(memoryGetUInt64), ENTRY(memorySetUInt64),
      ENTRY(memoryGetDouble), ENTRY(memorySetDouble), ENTRY(memoryGetColor), ENTRY(memorySetColor),
      ENTRY(memoryGetPString), ENTRY(memorySetPString), ENTRY(memoryGetCString),
      ENTRY(memorySetCString), ENTRY(memoryGetWString), ENTRY(memorySetWString),
      ENTRY(memoryGetString), ENTRY(memorySetString), ENTRY(MemoryBlockToStringOperator),
      ENTRY(MemoryBlockFromStringOperator), ENTRY(MemoryBlockAddOperator),
      ENTRY(MemoryBlockCompareOperator), ENTRY(MemoryBlockLeftB), ENTRY(MemoryBlockMidB2),
      ENTRY(MemoryBlockMidB3), ENTRY(MemoryBlockRightB),
      // Blowfish
      ENTRY(BlowfishInitialize), ENTRY(BlowfishEncipher), ENTRY(BlowfishDecipher),
      ENTRY(BlowfishEncipherByBlock), ENTRY(BlowfishDecipherByBlock)};
  for (const Entry& entry : entries) {
    EXPECT_EQ(rt::intrinsics::lookup(entry.name), entry.function) << entry.name;
    // Imports bind ignoring case to the first match: no other entry may shadow these.
    EXPECT_EQ(rt::intrinsics::findIgnoringCase(entry.name)->entryPoint, entry.function)
        << entry.name;
  }
  EXPECT_EQ(rt::intrinsics::classlibFunctions().size(), std::size(entries));
}

TEST(ClasslibIntrinsics, ClassSetUpRegistersTheClassesAndValueByIndex) {
  rt::classlib::registerClasslibClasses();
  EXPECT_EQ(rt::intrinsics::lookup("dictionaryValueByIndex"),
            reinterpret_cast<void*>(&dictionaryValueByIndex));
  for (const rt::ClassDefinition* definition :
       {&rt::classlib::dictionaryClass, &rt::classlib::memoryBlockClass,
        &rt::classlib::blowfishClass, &rt::classlib::int32ObjectClass,
        &rt::classlib::stringObjectClass}) {
    EXPECT_EQ(RuntimeLookupClass(rt::String(definition->name).get()),
              rt::objects::classFor(*definition))
        << definition->name;
  }
}

}  // namespace
