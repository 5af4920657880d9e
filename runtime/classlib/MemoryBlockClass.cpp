#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "classlib/MemoryBlock.h"
#include "classlib/MemoryBlockApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "objects/FieldAccessors.h"
#include "text/Encodings.h"
#include "text/StringStorage.h"

namespace rt::classlib {
namespace {

// Null for no bytes; a failed allocation is told apart by the size asked for.
unsigned char* allocateZeroed(std::int64_t size) {
  return size > 0 ? static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(size), 1))
                  : nullptr;
}

void releaseBytes(MemoryBlockObject& block) {
  if (block.owned) std::free(block.data);
  block.data = nullptr;
}

// Makes data of size bytes the block's own, in place of what it held.
void adopt(MemoryBlockObject& block, unsigned char* data, std::int32_t size) {
  releaseBytes(block);
  block.data = data;
  block.size = size;
  block.owned = 1;
}

MemoryBlockObject* nonNil(RTObject* block) {
  if (block == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  return &blockOf(block);
}

void raiseOutOfMemory() { exceptions::raise(exceptions::outOfMemoryException); }

RTObject* newWrappingBlock(void* address) {
  RTObject* block = RuntimeNewObject(objects::classFor(memoryBlockClass));
  if (block != nullptr) blockOf(block).data = static_cast<unsigned char*>(address);
  return block;
}

// A new block of count bytes from start, the range first clipped to the block.
RTObject* piece(RTObject* block, std::int64_t start, std::int64_t count) {
  const MemoryBlockObject* source = nonNil(block);
  if (source == nullptr) return nullptr;
  if (start < 0) {
    count += start;
    start = 0;
  }
  const std::int64_t size = knownSize(*source);
  if (start >= size || count < 1) return nullptr;
  count = std::min(count, size - start);
  RTObject* result = newOwnedBlock(static_cast<std::int32_t>(count));
  if (result == nullptr) return nullptr;
  std::memcpy(blockOf(result).data, source->data + start, static_cast<std::size_t>(count));
  blockOf(result).littleEndian = source->littleEndian;
  return result;
}

std::int32_t sizeOrZero(RTObject* block) {
  return block != nullptr ? knownSize(blockOf(block)) : 0;
}

template <class Function>
void* entry(Function* function) {
  return reinterpret_cast<void*>(function);
}

const std::array kMemoryBlockMethods{
    MethodDefinition{"Constructor%%o<MemoryBlock>i4", entry(&memoryBlockNewConstructor)},
    MethodDefinition{"LeftB%o<MemoryBlock>%o<MemoryBlock>i4", entry(&MemoryBlockLeftB)},
    MethodDefinition{"MidB%o<MemoryBlock>%o<MemoryBlock>i4i4", entry(&MemoryBlockMidB3)},
    MethodDefinition{"RightB%o<MemoryBlock>%o<MemoryBlock>i4", entry(&MemoryBlockRightB)},
    MethodDefinition{"Operator_Convert%s%o<MemoryBlock>", entry(&MemoryBlockToStringOperator)},
    MethodDefinition{"Operator_Add%o<MemoryBlock>%o<MemoryBlock>o<MemoryBlock>",
                     entry(&MemoryBlockAddOperator)},
    MethodDefinition{"Operator_Compare%i4%o<MemoryBlock>o<MemoryBlock>",
                     entry(&MemoryBlockCompareOperator)},
};

PropertyDefinition accessor(const char* name, void* getter, void* setter) {
  return PropertyDefinition{name, getter, setter, 0};
}

const std::array kMemoryBlockProperties{
    accessor("Size", entry(&memoryBlockGetSize), entry(&memoryBlockSetSize)),
    PropertyDefinition{"LittleEndian", entry(&boolGetter), entry(&boolSetter),
                       offsetof(MemoryBlockObject, littleEndian)},
    accessor("Byte", entry(&memoryGetByte), entry(&memorySetByte)),
    accessor("Int8", entry(&memoryGetInt8), entry(&memorySetInt8)),
    accessor("UInt8", entry(&memoryGetUInt8), entry(&memorySetUInt8)),
    accessor("BooleanValue", entry(&memoryGetBoolean), entry(&memorySetBoolean)),
    accessor("Short", entry(&memoryGetShort), entry(&memorySetShort)),
    accessor("Int16", entry(&memoryGetInt16), entry(&memorySetInt16)),
    accessor("UShort", entry(&memoryGetUShort), nullptr),
    accessor("UInt16", entry(&memoryGetUInt16), entry(&memorySetUInt16)),
    accessor("Long", entry(&memoryGetLong), entry(&memorySetLong)),
    accessor("UInt32Value", entry(&memoryGetUInt32), entry(&memorySetUInt32)),
    accessor("SingleValue", entry(&memoryGetSingle), entry(&memorySetSingle)),
    accessor("Ptr", entry(&memoryGetPtr), entry(&memorySetPtr)),
    accessor("Int64Value", entry(&memoryGetInt64), entry(&memorySetInt64)),
    accessor("UInt64Value", entry(&memoryGetUInt64), entry(&memorySetUInt64)),
    accessor("DoubleValue", entry(&memoryGetDouble), entry(&memorySetDouble)),
    accessor("ColorValue", entry(&memoryGetColor), entry(&memorySetColor)),
    accessor("PString", entry(&memoryGetPString), entry(&memorySetPString)),
    accessor("CString", entry(&memoryGetCString), entry(&memorySetCString)),
    accessor("WString", entry(&memoryGetWString), entry(&memorySetWString)),
    accessor("StringValue", entry(&memoryGetString), entry(&memorySetString)),
};

}  // namespace

const ClassDefinition memoryBlockClass{"MemoryBlock",
                                       nullptr,
                                       sizeof(MemoryBlockObject),
                                       &MemoryBlockInitializer,
                                       &MemoryBlockFinalizer,
                                       kMemoryBlockMethods,
                                       kMemoryBlockProperties,
                                       {}};

void registerMemoryBlockClass() { objects::registerClassDefinition(memoryBlockClass); }

RTObject* newOwnedBlock(std::int32_t size) {
  unsigned char* data = allocateZeroed(size);
  if (size > 0 && data == nullptr) {
    raiseOutOfMemory();
    return nullptr;
  }
  RTObject* block = RuntimeNewObject(objects::classFor(memoryBlockClass));
  if (block == nullptr) {
    std::free(data);
    return nullptr;
  }
  adopt(blockOf(block), data, std::max(size, 0));
  return block;
}

}  // namespace rt::classlib

using namespace rt::classlib;

extern "C" {

void MemoryBlockInitializer(RTObject* block) { blockOf(block).littleEndian = 1; }

void MemoryBlockFinalizer(RTObject* block) { releaseBytes(blockOf(block)); }

void memoryBlockNewConstructor(RTObject* block, int32_t size) {
  MemoryBlockObject* b = nonNil(block);
  if (b == nullptr) return;
  unsigned char* data = allocateZeroed(size);
  if (size > 0 && data == nullptr) {
    raiseOutOfMemory();
    return;
  }
  adopt(*b, data, std::max(size, 0));
}

RTObject* newMemoryBlock(int32_t size) { return newOwnedBlock(size); }

RTObject* PtrToMemoryBlock(void* address) { return newWrappingBlock(address); }

RTObject* ConvertPtrToMemoryBlock(void* address) {
  return address != nullptr ? newWrappingBlock(address) : nullptr;
}

void* memoryBlockGetPtr(RTObject* block) {
  return block != nullptr ? blockOf(block).data : nullptr;
}

int32_t memoryBlockGetSize(RTObject* block) {
  const MemoryBlockObject* b = nonNil(block);
  if (b == nullptr) return 0;
  return b->owned ? b->size : -1;
}

void memoryBlockSetSize(RTObject* block, int32_t size) {
  MemoryBlockObject* b = nonNil(block);
  if (b == nullptr || size == b->size) return;
  if (size < 0) {
    RaiseOutOfBoundsException();
    return;
  }
  unsigned char* data = allocateZeroed(size);
  if (size > 0 && data == nullptr) {
    raiseOutOfMemory();
    return;
  }
  const std::int32_t kept = std::min(knownSize(*b), size);
  if (kept > 0) std::memcpy(data, b->data, static_cast<std::size_t>(kept));
  adopt(*b, data, size);
}

RTString MemoryBlockToStringOperator(RTObject* block) {
  if (block == nullptr) return nullptr;
  const MemoryBlockObject& b = blockOf(block);
  return rt::text::makeString(b.data, static_cast<std::size_t>(knownSize(b)), kEncodingUnknown);
}

RTObject* MemoryBlockFromStringOperator(RTString text) {
  const std::string_view bytes = rt::text::bytes(text);
  RTObject* block = newOwnedBlock(static_cast<int32_t>(bytes.size()));
  if (block != nullptr) std::copy(bytes.begin(), bytes.end(), blockOf(block).data);
  return block;
}

RTObject* MemoryBlockAddOperator(RTObject* a, RTObject* b) {
  const int64_t first = sizeOrZero(a);
  const int64_t second = sizeOrZero(b);
  if (first + second > std::numeric_limits<int32_t>::max()) {
    raiseOutOfMemory();
    return nullptr;
  }
  RTObject* sum = newOwnedBlock(static_cast<int32_t>(first + second));
  if (sum == nullptr) return nullptr;
  unsigned char* data = blockOf(sum).data;
  if (first > 0) std::memcpy(data, blockOf(a).data, static_cast<std::size_t>(first));
  if (second > 0) std::memcpy(data + first, blockOf(b).data, static_cast<std::size_t>(second));
  return sum;
}

// A nil block and a wrapping one (whose size is unknown) count as empty.
int32_t MemoryBlockCompareOperator(RTObject* a, RTObject* b) {
  if (a == b) return 0;
  if (a != nullptr && b != nullptr && blockOf(a).data == blockOf(b).data) return 0;
  const int32_t sizeA = sizeOrZero(a);
  const int32_t sizeB = sizeOrZero(b);
  const int32_t common = std::min(sizeA, sizeB);
  for (int32_t i = 0; i < common; ++i) {
    const int32_t difference = blockOf(a).data[i] - blockOf(b).data[i];
    if (difference != 0) return difference;
  }
  return sizeA < sizeB ? -1 : (sizeA > sizeB ? 1 : 0);
}

RTObject* MemoryBlockMidB3(RTObject* block, int32_t start, int32_t count) {
  return piece(block, start, count);
}

RTObject* MemoryBlockLeftB(RTObject* block, int32_t count) { return piece(block, 0, count); }

RTObject* MemoryBlockMidB2(RTObject* block, int32_t start) {
  const int64_t size = sizeOrZero(block);
  return piece(block, start, size - start);
}

RTObject* MemoryBlockRightB(RTObject* block, int32_t count) {
  const int64_t size = sizeOrZero(block);
  return piece(block, size - count, count);
}

}  // extern "C"
