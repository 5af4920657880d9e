#include "classlib/DictionaryTable.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "classlib/VariantCompare.h"
#include "host/FailureReport.h"

namespace rt::classlib::dictionary {
namespace {

constexpr const char* kSourceFile = "../Common/Dictionary";
// Bin counts looked at before settling for the largest.
constexpr std::size_t kChoosableBinCounts = 10;
constexpr std::uint32_t kLargestBinCount = 65521;
constexpr std::uint32_t kMaxGrowthStep = 1024;
constexpr std::uint32_t kMinimumGrowth = 16;

std::uint32_t growthStepFor(std::uint32_t binCount) {
  return std::min(binCount / 4, kMaxGrowthStep);
}

std::uint32_t chosenBinCount(std::uint32_t count) {
  const std::uint64_t wanted = std::uint64_t{count} * 4 / 3;
  for (std::size_t i = 0; i < kChoosableBinCounts; ++i) {
    if (kBinCounts[i] >= wanted) return kBinCounts[i];
  }
  return kLargestBinCount;
}

template <class T>
T* allocateZeroed(std::size_t count) {
  // T is the bucket array's pointer type: the size of a pointer is meant.
  return static_cast<T*>(std::calloc(count, sizeof(T)));  // NOLINT(bugprone-sizeof-expression)
}

template <class T>
T* reallocate(T* block, std::size_t count) {
  return static_cast<T*>(std::realloc(block, count * sizeof(T)));  // NOLINT(bugprone-sizeof-expression)
}

// Puts an entry at the head of its bin's chain.
void link(DictionaryObject& table, DictionaryEntry* entry) {
  DictionaryEntry*& head = table.bins[entry->hash % table.binCount];
  entry->next = head;
  head = entry;
}

struct Storage {
  DictionaryEntry** bins = nullptr;
  std::uint32_t binCount = 0;
  DictionaryEntry** entries = nullptr;
};

// Takes the storage out of the table, which is left empty without bins.
Storage detach(DictionaryObject& table) {
  Storage storage{table.bins, table.binCount, table.entries};
  table.bins = nullptr;
  table.binCount = 0;
  table.entries = nullptr;
  table.count = 0;
  table.capacity = 0;
  return storage;
}

void releaseEntry(DictionaryEntry* entry) {
  RTObject* key = entry->key;
  RTObject* value = entry->value;
  delete entry;
  RuntimeUnlockObject(key);
  RuntimeUnlockObject(value);
}

void release(Storage storage) {
  for (std::uint32_t bin = 0; bin < storage.binCount; ++bin) {
    for (DictionaryEntry* entry = storage.bins[bin]; entry != nullptr;) {
      DictionaryEntry* next = entry->next;
      releaseEntry(entry);
      entry = next;
    }
  }
  std::free(storage.bins);
  std::free(storage.entries);
}

bool growEntries(DictionaryObject& table) {
  const std::uint32_t step = table.growthStep != 0 ? table.growthStep : table.capacity;
  const std::uint32_t capacity = table.capacity + std::max(step, kMinimumGrowth);
  DictionaryEntry** entries = reallocate(table.entries, capacity);
  if (entries == nullptr) return false;
  table.entries = entries;
  table.capacity = capacity;
  return true;
}

// Gives back entry-array slots once more than two growth steps stand free.
void shrinkEntries(DictionaryObject& table) {
  const std::uint32_t step = table.growthStep;
  const std::uint32_t free = table.capacity - table.count;
  std::uint32_t capacity = 0;
  if (step != 0) {
    if (free <= 2 * step) return;
    capacity = (table.count / step + 1) * step;
  } else {
    if (free <= 2 * table.count) return;
    capacity = (table.count & ~(kMinimumGrowth - 1)) + kMinimumGrowth;
  }
  if (capacity >= table.capacity) return;
  // A failed reallocation keeps the larger array, which still serves.
  if (DictionaryEntry** entries = reallocate(table.entries, capacity)) {
    table.entries = entries;
    table.capacity = capacity;
  }
}

}  // namespace

void reset(DictionaryObject& table) {
  Storage old = detach(table);
  table.binsFixed = 0;
  table.bins = allocateZeroed<DictionaryEntry*>(kBinCounts[0]);
  table.binCount = table.bins != nullptr ? kBinCounts[0] : 0;
  table.growthStep = growthStepFor(kBinCounts[0]);
  release(old);
}

void destroy(DictionaryObject& table) { release(detach(table)); }

DictionaryEntry* find(const DictionaryObject& table, RTObject* key, std::uint32_t hash) {
  if (table.binCount == 0) return nullptr;
  for (DictionaryEntry* entry = table.bins[hash % table.binCount]; entry != nullptr;
       entry = entry->next) {
    if (entry->hash == hash && compareVariants(entry->key, key) == 0) return entry;
  }
  return nullptr;
}

bool resize(DictionaryObject& table, std::int64_t binCount) {
  const std::uint32_t wanted =
      binCount < 1 ? chosenBinCount(table.count) : static_cast<std::uint32_t>(binCount);
  if (wanted == table.binCount) return true;
  DictionaryEntry** bins = allocateZeroed<DictionaryEntry*>(wanted);
  if (bins == nullptr) return false;
  std::free(table.bins);
  table.bins = bins;
  table.binCount = wanted;
  for (std::uint32_t i = 0; i < table.count; ++i) link(table, table.entries[i]);
  table.growthStep = growthStepFor(wanted);
  return true;
}

bool insert(DictionaryObject& table, RTObject* key, RTObject* value, std::uint32_t hash) {
  if (table.binCount == 0 && !resize(table, 0)) return false;
  if (table.count == table.capacity && !growEntries(table)) return false;
  auto* entry = new (std::nothrow)
      DictionaryEntry{key, value, hash, static_cast<std::int32_t>(table.count), nullptr};
  if (entry == nullptr) return false;
  RuntimeLockObject(key);
  RuntimeLockObject(value);
  link(table, entry);
  table.entries[table.count++] = entry;
  // An automatic resize that fails keeps the old bins: they still work, only slower.
  if (!table.binsFixed && table.count > std::uint64_t{table.binCount} * 3 / 4) resize(table, 0);
  return true;
}

void remove(DictionaryObject& table, DictionaryEntry* entry) {
  const std::int32_t lastIndex = static_cast<std::int32_t>(table.count) - 1;
  const std::int32_t index = entry->index;
  if (index < 0 || index > lastIndex) {
    reportAssertion(kSourceFile, __LINE__, "index >= 0 and index <= lastIndex");
    return;
  }
  DictionaryEntry** link = &table.bins[entry->hash % table.binCount];
  while (*link != nullptr && *link != entry) link = &(*link)->next;
  if (*link == nullptr) {
    reportAssertion(kSourceFile, __LINE__, "entry is on its bin's chain");
    return;
  }
  *link = entry->next;
  if (index < lastIndex) {
    table.entries[index] = table.entries[lastIndex];
    table.entries[index]->index = index;
  }
  table.entries[lastIndex] = nullptr;
  table.count -= 1;
  shrinkEntries(table);
  releaseEntry(entry);
}

}  // namespace rt::classlib::dictionary
