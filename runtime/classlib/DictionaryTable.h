// The table operations behind the Dictionary entry points: bins, chains and
// the dense entry array. Keys are compared here but hashed by the caller.
#pragma once

#include <cstdint>

#include "classlib/Dictionary.h"

namespace rt::classlib::dictionary {

// Bin counts the table resizes itself through.
inline constexpr std::uint32_t kBinCounts[] = {61,   127,  251,   509,   1021, 2039,
                                               4093, 8191, 16381, 32749, 65521};

// Empties the table and gives it the starting bins (none when they cannot be
// allocated). Keys and values are released after the table is consistent
// again, so a destructor they run may use the dictionary.
void reset(DictionaryObject& table);

// Empties the table and frees its storage, leaving no bins.
void destroy(DictionaryObject& table);

// The entry of key, or null. Entries are compared only when their hash is hash.
DictionaryEntry* find(const DictionaryObject& table, RTObject* key, std::uint32_t hash);

// Spreads the entries over binCount bins, or over the bin count the list
// gives for the number of entries when binCount is below 1. False when the
// bins cannot be allocated; the table is then unchanged.
bool resize(DictionaryObject& table, std::int64_t binCount);

// Adds an entry for a key that is not in the table, taking references to key
// and value, and resizes past three quarters load unless the bins are fixed.
// False when storage cannot be had; the table is then unchanged.
bool insert(DictionaryObject& table, RTObject* key, RTObject* value, std::uint32_t hash);

// Removes an entry of the table: the last entry takes its slot, the entry
// array may shrink, and finally the key and value are released.
void remove(DictionaryObject& table, DictionaryEntry* entry);

}  // namespace rt::classlib::dictionary
