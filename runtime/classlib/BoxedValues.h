// Boxed values: the runtime objects that carry a number, a Boolean, a colour
// or a string where a variant is expected (dictionary keys and values). Each
// class has an Operator_Hash method, which the dictionary hashes its keys by.
//
// Invariants:
//  - The value is the one field after the object header.
//  - A Single is held as a double, so it hashes and compares like the Double
//    of the same value.
//  - A StringObject holds a counted reference to its string.
#pragma once

#include <cstdint>
#include <optional>

#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

namespace rt::classlib {

template <class T>
struct BoxedObject {
  RTObject header;
  T value;
};

using Int32Object = BoxedObject<std::int32_t>;
using UInt32Object = BoxedObject<std::uint32_t>;
using Int64Object = BoxedObject<std::int64_t>;
using UInt64Object = BoxedObject<std::uint64_t>;
using SingleObject = BoxedObject<double>;
using DoubleObject = BoxedObject<double>;
using BooleanObject = BoxedObject<std::uint8_t>;
using ColorObject = BoxedObject<std::uint32_t>;
using StringObject = BoxedObject<RTString>;

extern const ClassDefinition int32ObjectClass;
extern const ClassDefinition uint32ObjectClass;
extern const ClassDefinition int64ObjectClass;
extern const ClassDefinition uint64ObjectClass;
extern const ClassDefinition singleObjectClass;
extern const ClassDefinition doubleObjectClass;
extern const ClassDefinition booleanObjectClass;
extern const ClassDefinition colorObjectClass;
extern const ClassDefinition stringObjectClass;

// Makes the boxed classes known by name (RuntimeLookupClass).
void registerBoxedClasses();

// Each returns a new reference to a boxed value. boxString borrows its string.
[[nodiscard]] RTObject* boxInt32(std::int32_t value);
[[nodiscard]] RTObject* boxUInt32(std::uint32_t value);
[[nodiscard]] RTObject* boxInt64(std::int64_t value);
[[nodiscard]] RTObject* boxUInt64(std::uint64_t value);
[[nodiscard]] RTObject* boxSingle(float value);
[[nodiscard]] RTObject* boxDouble(double value);
[[nodiscard]] RTObject* boxBoolean(bool value);
[[nodiscard]] RTObject* boxColor(std::uint32_t value);
[[nodiscard]] RTObject* boxString(RTString value);

// What a variant holds, as far as comparison tells kinds apart.
enum class VariantKind { kNil, kNumber, kBoolean, kColor, kString, kDate, kObject };

VariantKind kindOf(RTObject* variant);

// The value of a boxed number (any of the six number classes) without loss:
// every 64-bit integer and every double is exact in it. Empty for anything else.
std::optional<long double> numberOf(RTObject* variant);

// The value of a boxed Boolean, colour or string; the variant must be of that kind.
bool booleanOf(RTObject* variant);
std::uint32_t colorOf(RTObject* variant);
RTString stringOf(RTObject* variant);

}  // namespace rt::classlib
