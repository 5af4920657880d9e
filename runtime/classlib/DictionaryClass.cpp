#include <array>
#include <utility>

#include "classlib/Dictionary.h"
#include "classlib/DictionaryApi.h"
#include "classlib/DictionaryKeyHash.h"
#include "classlib/DictionaryTable.h"
#include "host/IntrinsicTable.h"
#include "objects/ArrayApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"

namespace rt::classlib {
namespace {

DictionaryObject* tableOf(RTObject* dictionary) {
  if (dictionary == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  return reinterpret_cast<DictionaryObject*>(dictionary);
}

// Marks the table busy while an operation runs. Only one thread runs runtime
// code, so nobody ever waits on the mark. It is restored rather than cleared:
// an operation reached from inside another (through a key's hash method or a
// destructor) leaves it set for the outer one.
class BusyMark {
 public:
  explicit BusyMark(DictionaryObject& table)
      : busy_(table.busy), previous_(std::exchange(table.busy, 1)) {}
  ~BusyMark() { busy_ = previous_; }
  BusyMark(const BusyMark&) = delete;
  BusyMark& operator=(const BusyMark&) = delete;

 private:
  std::uint8_t& busy_;
  std::uint8_t previous_;
};

struct Found {
  bool hashed = false;  // false: the key's hash method raised
  std::uint32_t hash = 0;
  DictionaryEntry* entry = nullptr;
};

Found findKey(const DictionaryObject& table, RTObject* key) {
  const std::optional<std::uint32_t> hash = hashOfKey(key);
  if (!hash) return {};
  return {true, *hash, dictionary::find(table, key, *hash)};
}

RTObject* counted(RTObject* object) {
  RuntimeLockObject(object);
  return object;
}

DictionaryEntry* entryAt(const DictionaryObject& table, std::int32_t index) {
  if (index < 0 || static_cast<std::uint32_t>(index) >= table.count) {
    RaiseOutOfBoundsException();
    return nullptr;
  }
  return table.entries[index];
}

RTArray* entryArray(const DictionaryObject& table, RTObject* DictionaryEntry::*member) {
  RTArray* array = CreateArray(1, kArrayObject, static_cast<std::int32_t>(table.count) - 1);
  if (array == nullptr) return nullptr;
  using SetElement = void (*)(RTArray*, RTObject*, std::int32_t);
  auto set = reinterpret_cast<SetElement>(array->methods->slots[kArraySlotSet]);
  for (std::uint32_t i = 0; i < table.count; ++i) {
    set(array, table.entries[i]->*member, static_cast<std::int32_t>(i));
  }
  return array;
}

template <class Function>
void* entry(Function* function) {
  return reinterpret_cast<void*>(function);
}

const std::array kDictionaryMethods{
    MethodDefinition{"Constructor%%o<Dictionary>", entry(&dictionaryConstructor)},
    MethodDefinition{"Lookup%v%o<Dictionary>vv", entry(&DictionaryLookup)},
    MethodDefinition{"HasKey%b%o<Dictionary>v", entry(&dictionaryHasKey)},
    MethodDefinition{"Key%v%o<Dictionary>i4", entry(&dictionaryKey)},
    MethodDefinition{"Remove%%o<Dictionary>v", entry(&dictionaryRemove)},
    MethodDefinition{"Clear%%o<Dictionary>", entry(&dictionaryRemoveAll)},
    MethodDefinition{"Keys%A1v%o<Dictionary>", entry(&dictionaryKeys)},
    MethodDefinition{"Values%A1v%o<Dictionary>", entry(&dictionaryValues)},
};

const std::array kDictionaryProperties{
    PropertyDefinition{"Count", entry(&dictionaryCount), nullptr, 0},
    PropertyDefinition{"BinCount", entry(&dictionaryGetBins), entry(&dictionarySetBins), 0},
    PropertyDefinition{"Value", entry(&dictionaryValueGetter), entry(&dictionaryValueSetter), 0},
};

}  // namespace

const ClassDefinition dictionaryClass{"Dictionary",
                                      nullptr,
                                      sizeof(DictionaryObject),
                                      nullptr,
                                      &dictionaryDestructor,
                                      kDictionaryMethods,
                                      kDictionaryProperties,
                                      {}};

void registerDictionaryClass() {
  objects::registerClassDefinition(dictionaryClass);
  intrinsics::registerFunction("dictionaryValueByIndex", entry(&dictionaryValueByIndex));
}

}  // namespace rt::classlib

using namespace rt::classlib;

extern "C" {

void dictionaryConstructor(RTObject* dictionary) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return;
  BusyMark busy(*table);
  dictionary::reset(*table);
}

void dictionaryDestructor(RTObject* dictionary) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return;
  BusyMark busy(*table);
  dictionary::destroy(*table);
}

int32_t dictionaryCount(RTObject* dictionary) {
  DictionaryObject* table = tableOf(dictionary);
  return table != nullptr ? static_cast<int32_t>(table->count) : 0;
}

int32_t dictionaryGetBins(RTObject* dictionary) {
  DictionaryObject* table = tableOf(dictionary);
  return table != nullptr ? static_cast<int32_t>(table->binCount) : 0;
}

void dictionarySetBins(RTObject* dictionary, int32_t binCount) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return;
  BusyMark busy(*table);
  if (!dictionary::resize(*table, binCount)) {
    rt::exceptions::raise(rt::exceptions::outOfMemoryException);
    return;
  }
  table->binsFixed = binCount > 0;
}

RTObject* dictionaryValueGetter(RTObject* dictionary, RTObject* key) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return nullptr;
  BusyMark busy(*table);
  const Found found = findKey(*table, key);
  if (found.entry != nullptr) return counted(found.entry->value);
  if (found.hashed) rt::exceptions::raise(rt::exceptions::keyNotFoundException);
  return nullptr;
}

void dictionaryValueSetter(RTObject* dictionary, RTObject* key, RTObject* value) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return;
  BusyMark busy(*table);
  const Found found = findKey(*table, key);
  if (!found.hashed) return;
  if (found.entry != nullptr) {
    RTObject* old = found.entry->value;
    found.entry->value = counted(value);
    RuntimeUnlockObject(old);
    return;
  }
  if (!dictionary::insert(*table, key, value, found.hash)) {
    rt::exceptions::raise(rt::exceptions::outOfMemoryException);
  }
}

RTObject* DictionaryLookup(RTObject* dictionary, RTObject* key, RTObject* defaultValue) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return nullptr;
  BusyMark busy(*table);
  const Found found = findKey(*table, key);
  if (!found.hashed) return nullptr;
  return counted(found.entry != nullptr ? found.entry->value : defaultValue);
}

uint8_t dictionaryHasKey(RTObject* dictionary, RTObject* key) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return 0;
  BusyMark busy(*table);
  return findKey(*table, key).entry != nullptr;
}

RTObject* dictionaryKey(RTObject* dictionary, int32_t index) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return nullptr;
  const DictionaryEntry* entry = entryAt(*table, index);
  return entry != nullptr ? counted(entry->key) : nullptr;
}

RTObject* dictionaryValueByIndex(RTObject* dictionary, int32_t index) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return nullptr;
  const DictionaryEntry* entry = entryAt(*table, index);
  return entry != nullptr ? counted(entry->value) : nullptr;
}

void dictionaryRemove(RTObject* dictionary, RTObject* key) {
  DictionaryObject* table = tableOf(dictionary);
  if (table == nullptr) return;
  BusyMark busy(*table);
  const Found found = findKey(*table, key);
  if (found.entry != nullptr) {
    dictionary::remove(*table, found.entry);
  } else if (found.hashed) {
    rt::exceptions::raise(rt::exceptions::keyNotFoundException);
  }
}

void dictionaryRemoveAll(RTObject* dictionary) { dictionaryConstructor(dictionary); }

RTArray* dictionaryKeys(RTObject* dictionary) {
  DictionaryObject* table = tableOf(dictionary);
  return table != nullptr ? entryArray(*table, &DictionaryEntry::key) : nullptr;
}

RTArray* dictionaryValues(RTObject* dictionary) {
  DictionaryObject* table = tableOf(dictionary);
  return table != nullptr ? entryArray(*table, &DictionaryEntry::value) : nullptr;
}

}  // extern "C"
