#include "objects/ArrayMethods.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "host/FailureReport.h"
#include "numbers/NumberApi.h"
#include "objects/ArrayElements.h"
#include "objects/ArrayStorage.h"
#include "objects/ExceptionApi.h"

namespace rt::arrays {
namespace {

constexpr std::int32_t kGrowthStepLimit = 0x20000;

// Moves elements into a new order: element i of the result is element order[i].
void permute(RTArray* array, const std::vector<std::int64_t>& order) {
  const auto size = static_cast<std::size_t>(elementSize(array));
  std::vector<char> copy(static_cast<const char*>(array->data),
                         static_cast<const char*>(array->data) + order.size() * size);
  auto* data = static_cast<char*>(array->data);
  for (std::size_t i = 0; i < order.size(); ++i) {
    std::memcpy(data + i * size, copy.data() + static_cast<std::size_t>(order[i]) * size, size);
  }
}

void swapElements(RTArray* array, std::int64_t a, std::int64_t b) {
  const auto size = static_cast<std::size_t>(elementSize(array));
  auto* data = static_cast<char*>(array->data);
  std::swap_ranges(data + a * size, data + (a + 1) * size, data + b * size);
}

std::int32_t upperBound(RTArray* array, std::int32_t dimension) {
  if (dimension == -1) return array->dimensions;
  if (dimension < 1 || dimension > array->dimensions) {
    RaiseOutOfBoundsException();
    return -1;
  }
  return array->upperBounds[dimension - 1];
}

// Works over all elements, whatever the number of dimensions.
void shuffle(RTArray* array) {
  if (array->data == nullptr) return;
  for (std::int64_t i = elementCount(array) - 1; i >= 1; --i) {
    const auto j = static_cast<std::int64_t>(rnd() * static_cast<double>(i + 1));
    swapElements(array, i, j);
  }
}

template <class E>
struct Methods {
  using V = typename E::Value;

  static V* elements(RTArray* array) { return static_cast<V*>(array->data); }
  static bool inBounds(const RTArray* array, std::int32_t index) {
    return index >= 0 && index <= array->upperBounds[0];
  }

  static V getUnchecked(RTArray* array, std::int32_t index) {
    V value = elements(array)[index];
    E::lock(value);
    return value;
  }

  static V get(RTArray* array, std::int32_t index) {
    if (!inBounds(array, index)) {
      RaiseOutOfBoundsException();
      return V{};
    }
    return getUnchecked(array, index);
  }

  static void store(V& slot, V value) {
    E::lock(value);
    E::unlock(slot);
    slot = value;
  }

  static void setUnchecked(RTArray* array, V value, std::int32_t index) {
    store(elements(array)[index], value);
  }

  static void set(RTArray* array, V value, std::int32_t index) {
    if (!inBounds(array, index)) {
      RaiseOutOfBoundsException();
      return;
    }
    setUnchecked(array, value, index);
  }

  static void releaseRange(RTArray* array, std::int64_t from, std::int64_t to) {
    if constexpr (E::counted) {
      for (std::int64_t i = from; i < to; ++i) E::unlock(elements(array)[i]);
    }
  }

  static void redim(RTArray* array, std::int32_t newUpperBound) {
    if (!requireOneDimension(array)) return;
    const std::int32_t oldUpperBound = array->upperBounds[0];
    if (newUpperBound == oldUpperBound) return;
    if (newUpperBound < -1) {
      RaiseOutOfBoundsException();
      return;
    }
    const std::int64_t newLength = (newUpperBound + std::int64_t{1}) * std::int64_t{sizeof(V)};
    if (newLength > std::numeric_limits<std::int32_t>::max()) {
      reportAssertion(kSourceFile, __LINE__, "out", "array too large");
      return;
    }
    if (newUpperBound < oldUpperBound) releaseRange(array, newUpperBound + 1, oldUpperBound + 1);
    void* data = allocateData(static_cast<std::size_t>(newLength));
    const std::int64_t kept = std::int64_t{std::min(oldUpperBound, newUpperBound)} + 1;
    if (kept > 0) std::memcpy(data, array->data, static_cast<std::size_t>(kept) * sizeof(V));
    releaseData(array);
    array->data = data;
    array->bufferLength = static_cast<std::int32_t>(newLength);
    array->growthStep = kInitialGrowthStep;
    array->upperBounds[0] = newUpperBound;
  }

  static void insert(RTArray* array, std::int32_t index, V value) {
    if (array == nullptr) {
      RaiseNilObjectException();
      return;
    }
    if (!requireOneDimension(array)) return;
    const std::int32_t upper = array->upperBounds[0];
    if (index < 0 || index > upper + 1) {
      RaiseOutOfBoundsException();
      return;
    }
    const auto needed = static_cast<std::size_t>(upper + 2) * sizeof(V);
    const auto tail = static_cast<std::size_t>(upper + 1 - index) * sizeof(V);
    const auto head = static_cast<std::size_t>(index) * sizeof(V);
    if (needed > static_cast<std::size_t>(array->bufferLength)) {
      // Grow by the growth step, which doubles so repeated appends stay cheap.
      const auto grown = static_cast<std::size_t>(array->bufferLength) +
                         static_cast<std::size_t>(array->growthStep) * sizeof(V);
      if (grown < needed) reportAssertion(kSourceFile, __LINE__, "array->bufferLength >= minimumBufferSize");
      // The buffer length is a 32-bit field: growth stops at its limit, and an
      // insertion that cannot fit below it is refused.
      constexpr std::size_t kLargestBuffer = std::numeric_limits<std::int32_t>::max();
      if (needed > kLargestBuffer) {
        reportAssertion(kSourceFile, __LINE__, "out", "array too large");
        return;
      }
      const std::size_t length = std::min(std::max(grown, needed), kLargestBuffer);
      auto* data = static_cast<char*>(allocateData(length));
      if (head > 0) std::memcpy(data, array->data, head);
      if (tail > 0) std::memcpy(data + head + sizeof(V), static_cast<char*>(array->data) + head, tail);
      releaseData(array);
      array->data = data;
      array->bufferLength = static_cast<std::int32_t>(length);
      if (array->growthStep < kGrowthStepLimit) array->growthStep *= 2;
    } else if (tail > 0) {
      auto* at = static_cast<char*>(array->data) + head;
      std::memmove(at + sizeof(V), at, tail);
    }
    array->upperBounds[0] = upper + 1;
    elements(array)[index] = value;
    E::lock(value);
  }

  static void remove(RTArray* array, std::int32_t index) {
    if (array == nullptr || !inBounds(array, index)) {
      RaiseOutOfBoundsException();
      return;
    }
    if (!requireOneDimension(array)) return;
    const std::int32_t upper = array->upperBounds[0];
    E::unlock(elements(array)[index]);
    const auto length = static_cast<std::size_t>(upper) * sizeof(V);
    auto* data = static_cast<char*>(allocateData(length));
    const auto head = static_cast<std::size_t>(index) * sizeof(V);
    if (head > 0) std::memcpy(data, array->data, head);
    if (length > head) {
      std::memcpy(data + head, static_cast<char*>(array->data) + head + sizeof(V), length - head);
    }
    releaseData(array);
    array->data = data;
    array->bufferLength = static_cast<std::int32_t>(length);
    array->growthStep = kInitialGrowthStep;
    array->upperBounds[0] = upper - 1;
  }

  static std::int32_t indexOf(RTArray* array, V value, std::int32_t start) {
    if (array == nullptr || array->data == nullptr || array->upperBounds[0] < 0) return -1;
    if (!requireOneDimension(array)) return -1;
    if (start < -1 || start > array->upperBounds[0]) {
      RaiseOutOfBoundsException();
      return -1;
    }
    for (std::int32_t i = std::max(start, 0); i <= array->upperBounds[0]; ++i) {
      if (E::equal(elements(array)[i], value)) return i;
    }
    return -1;
  }

  // The order that sorts the array, ties kept in their original order.
  static std::vector<std::int64_t> sortedOrder(RTArray* array) {
    std::vector<std::int64_t> order(static_cast<std::size_t>(array->upperBounds[0] + 1));
    std::iota(order.begin(), order.end(), 0);
    const V* values = elements(array);
    std::stable_sort(order.begin(), order.end(),
                     [values](std::int64_t a, std::int64_t b) { return E::less(values[a], values[b]); });
    return order;
  }

  static void sort(RTArray* array) {
    if (array->data == nullptr || !requireOneDimension(array)) return;
    permute(array, sortedOrder(array));
  }

  // Companion arrays (a null-terminated list) are permuted like the first.
  // The variadic signatures here are the method table's, as compiled code
  // calls them.
  static void sortWith(RTArray* array, ...) {  // NOLINT(cert-dcl50-cpp)
    std::vector<RTArray*> companions;
    va_list arguments;
    va_start(arguments, array);
    while (RTArray* companion = va_arg(arguments, RTArray*)) companions.push_back(companion);
    va_end(arguments);
    if (array->data == nullptr || !requireOneDimension(array)) return;
    const std::vector<std::int64_t> order = sortedOrder(array);
    for (RTArray* companion : companions) {
      if (elementCount(companion) < static_cast<std::int64_t>(order.size())) {
        RaiseOutOfBoundsException();
        return;
      }
    }
    permute(array, order);
    for (RTArray* companion : companions) permute(companion, order);
  }

  static void releaseAll(RTArray* array) {
    if (array->data != nullptr) releaseRange(array, 0, elementCount(array));
    releaseData(array);
  }

  static std::int32_t size(const RTArray*) { return sizeof(V); }

  static V getAt(RTArray* array, const std::int32_t* indexes) {
    const std::int64_t position = linearPosition(array, indexes);
    if (position < 0) return V{};
    V value = elements(array)[position];
    E::lock(value);
    return value;
  }

  static void setAt(RTArray* array, V value, const std::int32_t* indexes) {
    const std::int64_t position = linearPosition(array, indexes);
    if (position >= 0) store(elements(array)[position], value);
  }

  static V get2(RTArray* array, std::int32_t i0, std::int32_t i1) {
    const std::int32_t indexes[] = {i0, i1};
    return getAt(array, indexes);
  }
  static void set2(RTArray* array, V value, std::int32_t i0, std::int32_t i1) {
    const std::int32_t indexes[] = {i0, i1};
    setAt(array, value, indexes);
  }

  static std::vector<std::int32_t> readIndexes(RTArray* array, va_list arguments) {
    std::vector<std::int32_t> indexes(static_cast<std::size_t>(array->dimensions));
    for (std::int32_t& index : indexes) index = va_arg(arguments, std::int32_t);
    return indexes;
  }
  static V getN(RTArray* array, ...) {  // NOLINT(cert-dcl50-cpp)
    va_list arguments;
    va_start(arguments, array);
    const std::vector<std::int32_t> indexes = readIndexes(array, arguments);
    va_end(arguments);
    return getAt(array, indexes.data());
  }
  // Compiled code calls this with the element value before the indexes, so
  // the last named parameter may be a type that promotes (Int8, Single). Both
  // compilers find the variadic arguments without regard to that type; clang
  // warns all the same.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif
  static void setN(RTArray* array, V value, ...) {  // NOLINT(cert-dcl50-cpp)
    va_list arguments;
    va_start(arguments, value);
    const std::vector<std::int32_t> indexes = readIndexes(array, arguments);
    va_end(arguments);
    setAt(array, value, indexes.data());
  }
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

  static void* lockSlot() {
    if constexpr (E::counted) return reinterpret_cast<void*>(&E::lock);
    return nullptr;
  }
  static void* unlockSlot() {
    if constexpr (E::counted) return reinterpret_cast<void*>(&E::unlock);
    return nullptr;
  }
  static void* sortSlot() {
    if constexpr (E::sortable) return reinterpret_cast<void*>(&sort);
    return nullptr;
  }
  static void* sortWithSlot() {
    if constexpr (E::sortable) return reinterpret_cast<void*>(&sortWith);
    return nullptr;
  }

  // Every table shares all but the element access slots: operations meant for
  // one dimension report their misuse on the others.
  static ArrayMethodTable table(void* getSlot, void* setSlot) {
    return ArrayMethodTable{{
        getSlot,
        setSlot,
        getSlot == reinterpret_cast<void*>(&get) ? reinterpret_cast<void*>(&getUnchecked) : getSlot,
        setSlot == reinterpret_cast<void*>(&set) ? reinterpret_cast<void*>(&setUnchecked) : setSlot,
        reinterpret_cast<void*>(&redim),
        reinterpret_cast<void*>(&insert),
        reinterpret_cast<void*>(&remove),
        sortSlot(),
        sortWithSlot(),
        reinterpret_cast<void*>(&indexOf),
        reinterpret_cast<void*>(&shuffle),
        reinterpret_cast<void*>(&upperBound),
        lockSlot(),
        unlockSlot(),
        reinterpret_cast<void*>(&releaseAll),
        reinterpret_cast<void*>(&size),
    }};
  }

  static const ArrayMethodTable* tableFor(std::int32_t dimensions) {
    static const ArrayMethodTable one = table(reinterpret_cast<void*>(&get), reinterpret_cast<void*>(&set));
    static const ArrayMethodTable two = table(reinterpret_cast<void*>(&get2), reinterpret_cast<void*>(&set2));
    static const ArrayMethodTable many = table(reinterpret_cast<void*>(&getN), reinterpret_cast<void*>(&setN));
    return dimensions == 1 ? &one : dimensions == 2 ? &two : &many;
  }
};

// Structure arrays: elements are fixed-size byte records; Get returns the
// element's address and Set copies a record in.
struct StructureTable {
  ArrayMethodTable table;
  std::int32_t elementSize;
};

std::int32_t structureSize(const RTArray* array) {
  return reinterpret_cast<const StructureTable*>(array->methods)->elementSize;
}

void* structureGet(RTArray* array, std::int32_t index) {
  if (index < 0 || index > array->upperBounds[0]) {
    RaiseOutOfBoundsException();
    return nullptr;
  }
  return static_cast<char*>(array->data) + static_cast<std::size_t>(index) * structureSize(array);
}

void structureSet(RTArray* array, const void* record, std::int32_t index) {
  if (void* element = structureGet(array, index)) {
    std::memcpy(element, record, static_cast<std::size_t>(structureSize(array)));
  }
}

void structureReleaseAll(RTArray* array) { releaseData(array); }

}  // namespace

const ArrayMethodTable* methodTable(std::int32_t elementType, std::int32_t dimensions) {
  switch (elementType) {
    case kArrayInt32: return Methods<Int32Element>::tableFor(dimensions);
    case kArraySingle: return Methods<SingleElement>::tableFor(dimensions);
    case kArrayDouble: return Methods<DoubleElement>::tableFor(dimensions);
    case kArrayString: return Methods<StringElement>::tableFor(dimensions);
    case kArrayObject: return Methods<ObjectElement>::tableFor(dimensions);
    case kArrayUInt8: return Methods<UInt8Element>::tableFor(dimensions);
    case kArrayInt8: return Methods<Int8Element>::tableFor(dimensions);
    case kArrayUInt16: return Methods<UInt16Element>::tableFor(dimensions);
    case kArrayInt16: return Methods<Int16Element>::tableFor(dimensions);
    case kArrayValue4: return Methods<Value4Element>::tableFor(dimensions);
    case kArrayValue8: return Methods<Value8Element>::tableFor(dimensions);
    case kArrayInt64: return Methods<Int64Element>::tableFor(dimensions);
    default: return nullptr;
  }
}

const ArrayMethodTable* structureMethodTable(std::int32_t elementSize) {
  static std::unordered_map<std::int32_t, std::unique_ptr<StructureTable>> tables;
  auto& table = tables[elementSize];
  if (!table) {
    table = std::make_unique<StructureTable>(StructureTable{
        {{reinterpret_cast<void*>(&structureGet), reinterpret_cast<void*>(&structureSet),
          reinterpret_cast<void*>(&structureGet), reinterpret_cast<void*>(&structureSet), nullptr,
          nullptr, nullptr, nullptr, nullptr, nullptr, reinterpret_cast<void*>(&shuffle),
          reinterpret_cast<void*>(&upperBound), nullptr, nullptr,
          reinterpret_cast<void*>(&structureReleaseAll), reinterpret_cast<void*>(&structureSize)}},
        elementSize});
  }
  return &table->table;
}

}  // namespace rt::arrays
