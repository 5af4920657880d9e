// The storage of a runtime array.
//
// An array is a reference-counted block with its own counting (there is no
// uncounted state), a method table chosen by element type and dimension class,
// and contiguous elements with the first index varying fastest. Every element
// operation, access included, goes through the method table.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum ArrayElementType {
  kArrayInt32 = 0,
  kArraySingle = 1,
  kArrayDouble = 2,
  kArrayString = 3,
  kArrayObject = 4,
  kArrayUInt8 = 5,
  kArrayInt8 = 6,
  kArrayUInt16 = 7,
  kArrayInt16 = 8,
  kArrayValue4 = 9,
  kArrayValue8 = 10,
  kArrayInt64 = 11,
  kArrayElementTypeCount = 12,
};

// Slots of the one-dimensional method table, in table order.
enum ArraySlot {
  kArraySlotGet = 0,             // (array, index) -> element, bounds checked
  kArraySlotSet = 1,             // (array, value, index), bounds checked
  kArraySlotGetUnchecked = 2,
  kArraySlotSetUnchecked = 3,
  kArraySlotRedim = 4,           // (array, new upper bound)
  kArraySlotInsert = 5,          // (array, index, value)
  kArraySlotRemove = 6,          // (array, index)
  kArraySlotSort = 7,            // (array)
  kArraySlotSortWith = 8,        // (array, companion arrays..., null)
  kArraySlotIndexOf = 9,         // (array, value, start) -> index or -1
  kArraySlotShuffle = 10,        // (array)
  kArraySlotUBound = 11,         // (array, dimension) -> upper bound
  kArraySlotLockElement = 12,    // (element value); null for plain values
  kArraySlotUnlockElement = 13,  // (element value); null for plain values
  kArraySlotReleaseAll = 14,     // (array)
  kArraySlotElementSize = 15,    // (array) -> bytes per element
  kArraySlotCount = 16,
};

typedef struct ArrayMethodTable {
  void* slots[kArraySlotCount];
} ArrayMethodTable;

typedef struct ArrayBlock {
  uint32_t refCount;
  const ArrayMethodTable* methods;
  void* data;  // null when there are no elements
  int32_t dimensions;
  int32_t bufferLength;  // bytes allocated for the data
  int32_t growthStep;    // elements added when an insertion finds the buffer full
  int32_t upperBounds[];  // one per dimension; -1 means empty
} ArrayBlock;

typedef ArrayBlock RTArray;

#ifdef __cplusplus
}
#endif
