#include "objects/ArrayApi.h"

#include <algorithm>
#include <cstdarg>
#include <vector>

#include "host/FailureReport.h"
#include "objects/ArrayMethods.h"
#include "objects/ArrayStorage.h"
#include "objects/ExceptionApi.h"

namespace {

using namespace rt::arrays;

std::vector<std::int32_t> readBounds(std::int32_t dimensions, va_list arguments) {
  std::vector<std::int32_t> bounds(static_cast<std::size_t>(std::max(dimensions, 0)));
  // A bound below -1 would make a negative element count: it means empty.
  for (std::int32_t& bound : bounds) bound = std::max(va_arg(arguments, std::int32_t), -1);
  return bounds;
}

using UBoundSlot = int32_t (*)(RTArray*, int32_t);

int32_t callUpperBound(RTArray* array, int32_t dimension) {
  auto slot = reinterpret_cast<UBoundSlot>(array->methods->slots[kArraySlotUBound]);
  if (slot == nullptr) {
    rt::reportAssertion(kSourceFile, __LINE__, "fp");
    return -1;
  }
  return slot(array, dimension);
}

}  // namespace

extern "C" {

RTArray* CreateArray(int32_t dimensions, int32_t elementType, ...) {
  va_list arguments;
  va_start(arguments, elementType);
  const std::vector<std::int32_t> bounds = readBounds(dimensions, arguments);
  va_end(arguments);
  const ArrayMethodTable* methods = methodTable(elementType, dimensions);
  if (methods == nullptr) {
    // An unknown element type has no element size; no array is made rather
    // than one whose elements cannot be addressed.
    rt::reportAssertion(kSourceFile, __LINE__, "0");
    return nullptr;
  }
  using SizeSlot = int32_t (*)(const RTArray*);
  const int32_t size = reinterpret_cast<SizeSlot>(methods->slots[kArraySlotElementSize])(nullptr);
  return newArray(methods, dimensions, bounds.data(), size);
}

RTArray* RuntimeCreateStructureArray(int32_t dimensions, int32_t elementSize, ...) {
  va_list arguments;
  va_start(arguments, elementSize);
  const std::vector<std::int32_t> bounds = readBounds(dimensions, arguments);
  va_end(arguments);
  if (elementSize < 1) {
    rt::reportAssertion(kSourceFile, __LINE__, "elementSize > 0");
    return nullptr;
  }
  return newArray(structureMethodTable(elementSize), dimensions, bounds.data(), elementSize);
}

void RuntimeLockArray(RTArray* array) {
  if (array != nullptr) ++array->refCount;
}

void RuntimeUnlockArray(RTArray* array) {
  if (array == nullptr || --array->refCount != 0) return;
  using ReleaseAll = void (*)(RTArray*);
  reinterpret_cast<ReleaseAll>(array->methods->slots[kArraySlotReleaseAll])(array);
  freeArrayBlock(array);
}

void RuntimeLockUnlockArrays(RTArray* newValue, RTArray* oldValue) {
  if (newValue == oldValue) return;
  RuntimeLockArray(newValue);
  RuntimeUnlockArray(oldValue);
}

int32_t RuntimeUBound(RTArray* array, ...) {
  if (array == nullptr) {
    RaiseNilObjectException();
    return 0;
  }
  return callUpperBound(array, 1);
}

int32_t RuntimeUBound2Param(RTArray* array, int32_t dimension) {
  if (array == nullptr) {
    RaiseNilObjectException();
    return -1;
  }
  return callUpperBound(array, dimension);
}

}  // extern "C"
