// Entry points of the Dictionary class. The dictionary comes first; it and
// every key and value are borrowed, and every object returned is a new
// reference. A nil dictionary raises NilObjectException and gives 0 or nil.
#pragma once

#include <stdint.h>

#include "objects/ArrayBlock.h"
#include "objects/ObjectModel.h"

#ifdef __cplusplus
extern "C" {
#endif

// Empties the table (releasing what it held) and gives it 61 bins.
void dictionaryConstructor(RTObject* dictionary);
// Releases every entry and the table's storage.
void dictionaryDestructor(RTObject* dictionary);

int32_t dictionaryCount(RTObject* dictionary);
int32_t dictionaryGetBins(RTObject* dictionary);
// A positive count fixes the bins at that number; 0 or less returns the table
// to automatic resizing. Raises OutOfMemoryException when the bins cannot be
// allocated (the table is left as it was).
void dictionarySetBins(RTObject* dictionary, int32_t binCount);

// The value of key; raises KeyNotFoundException when absent.
RTObject* dictionaryValueGetter(RTObject* dictionary, RTObject* key);
// Adds key or replaces its value (the entry keeps its index).
void dictionaryValueSetter(RTObject* dictionary, RTObject* key, RTObject* value);
// The value of key, or defaultValue when absent.
RTObject* DictionaryLookup(RTObject* dictionary, RTObject* key, RTObject* defaultValue);
uint8_t dictionaryHasKey(RTObject* dictionary, RTObject* key);
// The key (or value) of entry index; raises OutOfBoundsException outside 0 to Count - 1.
RTObject* dictionaryKey(RTObject* dictionary, int32_t index);
RTObject* dictionaryValueByIndex(RTObject* dictionary, int32_t index);
// Removes key, moving the last entry into its slot; raises KeyNotFoundException when absent.
void dictionaryRemove(RTObject* dictionary, RTObject* key);
// Clear: releases every entry and starts again with 61 bins.
void dictionaryRemoveAll(RTObject* dictionary);
// A new one-dimensional array of the keys (or values) in entry order.
RTArray* dictionaryKeys(RTObject* dictionary);
RTArray* dictionaryValues(RTObject* dictionary);

#ifdef __cplusplus
}
#endif
