// How each element type of an array is stored, counted, compared and sorted.
#pragma once

#include <cstdint>

#include "objects/ArrayBlock.h"
#include "objects/ObjectModel.h"
#include "text/StringApi.h"
#include "text/StringCompare.h"

namespace rt::arrays {

template <class V, std::int32_t Code>
struct PlainElement {
  using Value = V;
  static constexpr std::int32_t code = Code;
  static constexpr bool counted = false;
  static constexpr bool sortable = true;
  static void lock(V) {}
  static void unlock(V) {}
  static bool equal(V a, V b) { return a == b; }
  static bool less(V a, V b) { return a < b; }
};

struct StringElement {
  using Value = RTString;
  static constexpr std::int32_t code = kArrayString;
  static constexpr bool counted = true;
  static constexpr bool sortable = true;
  static void lock(RTString s) { RuntimeLockString(s); }
  static void unlock(RTString s) { RuntimeUnlockString(s); }
  static bool equal(RTString a, RTString b) { return RuntimeStringCompare(a, b) == 0; }
  static bool less(RTString a, RTString b) { return RuntimeStringCompare(a, b) < 0; }
};

struct ObjectElement {
  using Value = RTObject*;
  static constexpr std::int32_t code = kArrayObject;
  static constexpr bool counted = true;
  static constexpr bool sortable = false;
  static void lock(RTObject* o) { RuntimeLockObject(o); }
  static void unlock(RTObject* o) { RuntimeUnlockObject(o); }
  static bool equal(RTObject* a, RTObject* b) { return a == b; }
};

using Int32Element = PlainElement<std::int32_t, kArrayInt32>;
using SingleElement = PlainElement<float, kArraySingle>;
using DoubleElement = PlainElement<double, kArrayDouble>;
using UInt8Element = PlainElement<std::uint8_t, kArrayUInt8>;
using Int8Element = PlainElement<std::int8_t, kArrayInt8>;
using UInt16Element = PlainElement<std::uint16_t, kArrayUInt16>;
using Int16Element = PlainElement<std::int16_t, kArrayInt16>;
// Opaque 4- and 8-byte values: compared and sorted as unsigned numbers.
using Value4Element = PlainElement<std::uint32_t, kArrayValue4>;
using Value8Element = PlainElement<std::uint64_t, kArrayValue8>;
using Int64Element = PlainElement<std::int64_t, kArrayInt64>;

}  // namespace rt::arrays
