// The built-in Dictionary: a hash map from variant keys to variant values.
// Entries live in two structures at once: chains of hash bins for lookup, and
// a dense entry array that gives each entry its index.
//
// Invariants:
//  - entries[i]->index == i for every i below count; indexes are dense and
//    stable, except that Remove moves the last entry into the removed slot.
//  - Every entry is on exactly one chain, that of bin (hash mod binCount).
//  - bins is null exactly when binCount is 0 (the bins could not be allocated,
//    or the object was never constructed); such a table holds no entries.
//  - Keys and values are counted references held by their entry.
#pragma once

#include <cstdint>

#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::classlib {

struct DictionaryEntry {
  RTObject* key;
  RTObject* value;
  std::uint32_t hash;
  std::int32_t index;     // position in the entry array
  DictionaryEntry* next;  // the next entry of the same bin
};

struct DictionaryObject {
  RTObject header;
  std::uint8_t binsFixed;    // BinCount was set: no automatic resizing
  std::uint32_t growthStep;  // slots the entry array grows by: binCount / 4, at most 1024
  DictionaryEntry** entries;
  std::uint32_t count;
  std::uint32_t capacity;  // slots of the entry array
  std::uint32_t binCount;
  DictionaryEntry** bins;  // the head of each bin's chain
  std::uint8_t busy;       // set while an operation runs
};

extern const ClassDefinition dictionaryClass;

// Makes Dictionary known by name and registers dictionaryValueByIndex, which
// the class brings into the intrinsic table when it is set up.
void registerDictionaryClass();

}  // namespace rt::classlib
