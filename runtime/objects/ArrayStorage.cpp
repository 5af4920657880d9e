#include "objects/ArrayStorage.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "host/FailureReport.h"
#include "objects/ExceptionApi.h"
#include "text/SmallBlockAllocator.h"

namespace rt::arrays {
namespace {

std::size_t blockSize(std::int32_t dimensions) {
  return offsetof(RTArray, upperBounds) + static_cast<std::size_t>(dimensions) * sizeof(std::int32_t);
}

}  // namespace

std::int64_t elementCount(const RTArray* array) {
  std::int64_t count = 1;
  for (std::int32_t d = 0; d < array->dimensions; ++d) count *= array->upperBounds[d] + std::int64_t{1};
  return count;
}

std::int32_t elementSize(const RTArray* array) {
  using SizeSlot = std::int32_t (*)(const RTArray*);
  return reinterpret_cast<SizeSlot>(array->methods->slots[kArraySlotElementSize])(array);
}

void* allocateData(std::size_t bytes) {
  void* data = memory::allocate(bytes);
  if (data != nullptr) std::memset(data, 0, bytes);
  return data;
}

void releaseData(RTArray* array) {
  memory::release(array->data, static_cast<std::size_t>(array->bufferLength));
  array->data = nullptr;
  array->bufferLength = 0;
}

bool requireOneDimension(const RTArray* array) {
  if (array->dimensions == 1) return true;
  reportAssertion(kSourceFile, __LINE__, "1 == array->dimensions");
  return false;
}

std::int64_t linearPosition(const RTArray* array, const std::int32_t* indexes) {
  std::int64_t position = 0;
  std::int64_t stride = 1;
  for (std::int32_t d = 0; d < array->dimensions; ++d) {
    if (indexes[d] < 0 || indexes[d] > array->upperBounds[d]) {
      RaiseOutOfBoundsException();
      return -1;
    }
    position += indexes[d] * stride;
    stride *= array->upperBounds[d] + std::int64_t{1};
  }
  return position;
}

RTArray* newArray(const ArrayMethodTable* methods, std::int32_t dimensions,
                  const std::int32_t* upperBounds, std::int32_t size) {
  if (dimensions < 1) {
    reportAssertion(kSourceFile, __LINE__, "dimensions > 0");
    return nullptr;
  }
  // Held just above the limit while multiplying, so no product can overflow and
  // an empty dimension still makes the array empty.
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  std::int64_t bytes = size;
  for (std::int32_t d = 0; d < dimensions; ++d) {
    bytes = std::min(bytes * (upperBounds[d] + std::int64_t{1}), kLimit + 1);
  }
  if (bytes > kLimit) {
    reportAssertion(kSourceFile, __LINE__, "out", "array too large");
    return nullptr;
  }
  auto* array = static_cast<RTArray*>(memory::allocate(blockSize(dimensions)));
  array->refCount = 1;
  array->methods = methods;
  array->dimensions = dimensions;
  array->growthStep = kInitialGrowthStep;
  std::memcpy(array->upperBounds, upperBounds, sizeof(std::int32_t) * static_cast<std::size_t>(dimensions));
  array->bufferLength = static_cast<std::int32_t>(bytes);
  array->data = allocateData(static_cast<std::size_t>(bytes));
  return array;
}

void freeArrayBlock(RTArray* array) { memory::release(array, blockSize(array->dimensions)); }

}  // namespace rt::arrays
