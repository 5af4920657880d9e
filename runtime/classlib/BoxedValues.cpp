#include "classlib/BoxedValues.h"

#include <array>
#include <limits>

#include "classlib/BoxedValueApi.h"
#include "classlib/KeyFold.h"
#include "numbers/DateObject.h"
#include "objects/ClassRegistry.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"

namespace rt::classlib {
namespace {

template <class Box>
Box& box(RTObject* object) {
  return *reinterpret_cast<Box*>(object);
}

void finalizeStringObject(RTObject* object) {
  RTString& value = box<StringObject>(object).value;
  RuntimeUnlockString(value);
  value = nullptr;
}

using HashMethod = std::int32_t (*)(RTObject*);

MethodDefinition hashMethod(const char* signature, HashMethod function) {
  return MethodDefinition{signature, reinterpret_cast<void*>(function)};
}

const std::array kInt32Methods{hashMethod("Operator_Hash%i4%o<Int32Object>", &Int32ObjectHash)};
const std::array kUInt32Methods{hashMethod("Operator_Hash%i4%o<UInt32Object>", &UInt32ObjectHash)};
const std::array kInt64Methods{hashMethod("Operator_Hash%i4%o<Int64Object>", &Int64ObjectHash)};
const std::array kUInt64Methods{hashMethod("Operator_Hash%i4%o<UInt64Object>", &UInt64ObjectHash)};
const std::array kSingleMethods{hashMethod("Operator_Hash%i4%o<SingleObject>", &SingleObjectHash)};
const std::array kDoubleMethods{hashMethod("Operator_Hash%i4%o<DoubleObject>", &DoubleObjectHash)};
const std::array kBooleanMethods{
    hashMethod("Operator_Hash%i4%o<BooleanObject>", &BooleanObjectHash)};
const std::array kColorMethods{hashMethod("Operator_Hash%i4%o<ColorObject>", &ColorObjectHash)};
const std::array kStringMethods{hashMethod("Operator_Hash%i4%o<StringObject>", &StringObjectHash)};

template <class Box, std::size_t N>
constexpr ClassDefinition boxedClass(const char* name,
                                     const std::array<MethodDefinition, N>& methods,
                                     ObjectHook finalizer = nullptr) {
  return ClassDefinition{name, nullptr, sizeof(Box), nullptr, finalizer, methods, {}, {}};
}

// The records of the boxed classes, looked up once: comparison asks for them
// on every key it meets.
struct BoxedRecords {
  ClassRecord* int32 = objects::classFor(int32ObjectClass);
  ClassRecord* uint32 = objects::classFor(uint32ObjectClass);
  ClassRecord* int64 = objects::classFor(int64ObjectClass);
  ClassRecord* uint64 = objects::classFor(uint64ObjectClass);
  ClassRecord* single = objects::classFor(singleObjectClass);
  ClassRecord* doubleRecord = objects::classFor(doubleObjectClass);
  ClassRecord* boolean = objects::classFor(booleanObjectClass);
  ClassRecord* color = objects::classFor(colorObjectClass);
  ClassRecord* string = objects::classFor(stringObjectClass);
  ClassRecord* date = objects::classFor(dates::dateClass);
};

const BoxedRecords& records() {
  static const BoxedRecords r;
  return r;
}

template <class Box>
RTObject* newBox(const ClassDefinition& definition, decltype(Box::value) value) {
  RTObject* object = RuntimeNewObject(objects::classFor(definition));
  if (object != nullptr) box<Box>(object).value = value;
  return object;
}

template <class Box>
auto valueOr0(RTObject* object) -> decltype(Box::value) {
  return object != nullptr ? box<Box>(object).value : decltype(Box::value){};
}

std::int32_t asHash(std::uint32_t hash) { return static_cast<std::int32_t>(hash); }

}  // namespace

const ClassDefinition int32ObjectClass = boxedClass<Int32Object>("Int32Object", kInt32Methods);
const ClassDefinition uint32ObjectClass = boxedClass<UInt32Object>("UInt32Object", kUInt32Methods);
const ClassDefinition int64ObjectClass = boxedClass<Int64Object>("Int64Object", kInt64Methods);
const ClassDefinition uint64ObjectClass = boxedClass<UInt64Object>("UInt64Object", kUInt64Methods);
const ClassDefinition singleObjectClass = boxedClass<SingleObject>("SingleObject", kSingleMethods);
const ClassDefinition doubleObjectClass = boxedClass<DoubleObject>("DoubleObject", kDoubleMethods);
const ClassDefinition booleanObjectClass =
    boxedClass<BooleanObject>("BooleanObject", kBooleanMethods);
const ClassDefinition colorObjectClass = boxedClass<ColorObject>("ColorObject", kColorMethods);
const ClassDefinition stringObjectClass =
    boxedClass<StringObject>("StringObject", kStringMethods, &finalizeStringObject);

void registerBoxedClasses() {
  for (const ClassDefinition* definition :
       {&int32ObjectClass, &uint32ObjectClass, &int64ObjectClass, &uint64ObjectClass,
        &singleObjectClass, &doubleObjectClass, &booleanObjectClass, &colorObjectClass,
        &stringObjectClass}) {
    objects::registerClassDefinition(*definition);
  }
}

RTObject* boxInt32(std::int32_t value) { return newBox<Int32Object>(int32ObjectClass, value); }
RTObject* boxUInt32(std::uint32_t value) { return newBox<UInt32Object>(uint32ObjectClass, value); }
RTObject* boxInt64(std::int64_t value) { return newBox<Int64Object>(int64ObjectClass, value); }
RTObject* boxUInt64(std::uint64_t value) { return newBox<UInt64Object>(uint64ObjectClass, value); }
RTObject* boxSingle(float value) { return newBox<SingleObject>(singleObjectClass, value); }
RTObject* boxDouble(double value) { return newBox<DoubleObject>(doubleObjectClass, value); }
RTObject* boxBoolean(bool value) {
  return newBox<BooleanObject>(booleanObjectClass, value ? 1 : 0);
}
RTObject* boxColor(std::uint32_t value) { return newBox<ColorObject>(colorObjectClass, value); }

RTObject* boxString(RTString value) {
  RuntimeLockString(value);
  RTObject* object = newBox<StringObject>(stringObjectClass, value);
  if (object == nullptr) RuntimeUnlockString(value);
  return object;
}

VariantKind kindOf(RTObject* variant) {
  if (variant == nullptr) return VariantKind::kNil;
  const BoxedRecords& r = records();
  const ClassRecord* cls = variant->cls;
  if (cls == r.int32 || cls == r.uint32 || cls == r.int64 || cls == r.uint64 || cls == r.single ||
      cls == r.doubleRecord) {
    return VariantKind::kNumber;
  }
  if (cls == r.boolean) return VariantKind::kBoolean;
  if (cls == r.color) return VariantKind::kColor;
  if (cls == r.string) return VariantKind::kString;
  if (RuntimeObjectIsa(variant, r.date)) return VariantKind::kDate;
  return VariantKind::kObject;
}

std::optional<long double> numberOf(RTObject* variant) {
  static_assert(std::numeric_limits<long double>::digits >= 64,
                "comparison needs every 64-bit integer to be exact");
  if (variant == nullptr) return std::nullopt;
  const BoxedRecords& r = records();
  const ClassRecord* cls = variant->cls;
  if (cls == r.int32) return box<Int32Object>(variant).value;
  if (cls == r.uint32) return box<UInt32Object>(variant).value;
  if (cls == r.int64) return box<Int64Object>(variant).value;
  if (cls == r.uint64) return box<UInt64Object>(variant).value;
  if (cls == r.single) return box<SingleObject>(variant).value;
  if (cls == r.doubleRecord) return box<DoubleObject>(variant).value;
  return std::nullopt;
}

bool booleanOf(RTObject* variant) { return box<BooleanObject>(variant).value != 0; }
std::uint32_t colorOf(RTObject* variant) { return box<ColorObject>(variant).value; }
RTString stringOf(RTObject* variant) { return box<StringObject>(variant).value; }

}  // namespace rt::classlib

using namespace rt::classlib;

extern "C" {

int32_t Int32ObjectHash(RTObject* object) {
  return asHash(fold32(static_cast<uint32_t>(valueOr0<Int32Object>(object))));
}

int32_t UInt32ObjectHash(RTObject* object) {
  return asHash(fold32(valueOr0<UInt32Object>(object)));
}

int32_t ColorObjectHash(RTObject* object) { return asHash(fold32(valueOr0<ColorObject>(object))); }

int32_t Int64ObjectHash(RTObject* object) {
  return asHash(fold64(static_cast<uint64_t>(valueOr0<Int64Object>(object))));
}

int32_t UInt64ObjectHash(RTObject* object) {
  return asHash(fold64(valueOr0<UInt64Object>(object)));
}

int32_t SingleObjectHash(RTObject* object) {
  return asHash(foldDouble(valueOr0<SingleObject>(object)));
}

int32_t DoubleObjectHash(RTObject* object) {
  return asHash(foldDouble(valueOr0<DoubleObject>(object)));
}

int32_t BooleanObjectHash(RTObject* object) { return valueOr0<BooleanObject>(object) != 0 ? 1 : 0; }

int32_t StringObjectHash(RTObject* object) {
  uint32_t hash = 0;
  for (char c : rt::text::bytes(valueOr0<StringObject>(object))) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    hash = 31 * hash + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  }
  return asHash(hash);
}

}  // extern "C"
