// Property values read and written by name for plugins, through the property
// table of the object's class and the computed properties of its extensions.
// A property whose getter or setter is one of the field accessors is only
// reached with the value type that accessor stores; a class's own functions
// are trusted to take the type the plugin asks for.
#include <optional>

#include "host/NameMatching.h"
#include "host/PluginApi.h"
#include "host/PluginFunctionGroups.h"
#include "objects/FieldAccessors.h"
#include "text/StringStorage.h"

namespace rt::host {
namespace {

enum class ValueKind { kInt, kInt64, kBoolean, kDouble, kSingle, kString, kObject, kColor };

constexpr unsigned bit(ValueKind kind) { return 1u << static_cast<unsigned>(kind); }

struct FieldAccess {
  void* getter;
  void* setter;
  unsigned kinds;  // bits of the value kinds the field's type serves
};

template <class Getter, class Setter>
FieldAccess access(Getter* getter, Setter* setter, unsigned kinds) {
  return {reinterpret_cast<void*>(getter), reinterpret_cast<void*>(setter), kinds};
}

const FieldAccess* fieldAccessOf(void* function) {
  using enum ValueKind;
  static const FieldAccess table[] = {
      access(&byteGetter, &byteSetter, bit(kInt)),
      access(&shortGetter, &shortSetter, bit(kInt)),
      access(&intGetter, &intSetter, bit(kInt) | bit(kColor)),
      access(&boolGetter, &boolSetter, bit(kBoolean)),
      access(&int64Getter, &int64Setter, bit(kInt64)),
      access(&singleGetter, &singleSetter, bit(kSingle)),
      access(&doubleGetter, &doubleSetter, bit(kDouble)),
      access(&stringGetter, &stringSetter, bit(kString)),
      access(&objGetter, &objSetter, bit(kObject)),
      access(&arrayGetter, &arraySetter, 0),
  };
  for (const FieldAccess& candidate : table) {
    if (candidate.getter == function || candidate.setter == function) return &candidate;
  }
  return nullptr;
}

bool serves(void* function, ValueKind kind) {
  if (function == nullptr) return false;
  const FieldAccess* field = fieldAccessOf(function);
  return field == nullptr || (field->kinds & bit(kind)) != 0;
}

struct Property {
  void* getter;
  void* setter;
  std::intptr_t parameter;
};

void* function(void* accessor) { return accessor == kPluginFieldAccess ? nullptr : accessor; }

// The most derived property of that name (a class's own entries follow the
// inherited ones), else a computed property a plugin added to the class or
// one of its superclasses.
std::optional<Property> findProperty(RTObject* object, const char* name) {
  if (object == nullptr || name == nullptr) return std::nullopt;
  const ClassRecord* cls = object->cls;
  for (std::uint32_t i = cls->propertyCount; i-- > 0;) {
    const PropertyEntry& entry = cls->properties[i];
    if (equalIgnoringCase(text::bytes(entry.name), name)) {
      return Property{entry.getter, entry.setter, entry.parameter};
    }
  }
  for (; cls != nullptr; cls = cls->super) {
    for (const PluginFunctionGroup& extension : classExtensions()) {
      if (!equalIgnoringCase(extension.name, text::bytes(cls->name))) continue;
      for (const PluginProperty& property : extension.properties) {
        if (property.name != nullptr && equalIgnoringCase(property.name, name)) {
          return Property{function(property.getter), function(property.setter), property.parameter};
        }
      }
    }
  }
  return std::nullopt;
}

template <class Value>
uint8_t getValue(RTObject* object, const char* name, ValueKind kind, Value* value) {
  const std::optional<Property> property = findProperty(object, name);
  if (!property || value == nullptr || !serves(property->getter, kind)) return 0;
  using Getter = Value (*)(RTObject*, intptr_t);
  *value = reinterpret_cast<Getter>(property->getter)(object, property->parameter);
  return 1;
}

template <class Value>
uint8_t setValue(RTObject* object, const char* name, ValueKind kind, Value value) {
  const std::optional<Property> property = findProperty(object, name);
  if (!property || !serves(property->setter, kind)) return 0;
  using Setter = void (*)(RTObject*, intptr_t, Value);
  reinterpret_cast<Setter>(property->setter)(object, property->parameter, value);
  return 1;
}

}  // namespace
}  // namespace rt::host

using rt::host::getValue;
using rt::host::setValue;
using enum rt::host::ValueKind;

extern "C" {

uint8_t TOLVGetPropValueInt(RTObject* object, const char* name, int32_t* value) {
  return getValue(object, name, kInt, value);
}

uint8_t TOLVGetPropValueInt64(RTObject* object, const char* name, int64_t* value) {
  return getValue(object, name, kInt64, value);
}

// Boolean getters leave their result in the low byte (boolGetter sign-extends
// it to a whole word), so only that byte is read.
uint8_t TOLVGetPropValueBoolean(RTObject* object, const char* name, uint8_t* value) {
  if (!getValue(object, name, kBoolean, value)) return 0;
  *value = *value != 0;
  return 1;
}

uint8_t TOLVGetPropValueDouble(RTObject* object, const char* name, double* value) {
  return getValue(object, name, kDouble, value);
}

uint8_t TOLVGetPropValueSingle(RTObject* object, const char* name, float* value) {
  return getValue(object, name, kSingle, value);
}

uint8_t TOLVGetPropValueString(RTObject* object, const char* name, RTString* value) {
  return getValue(object, name, kString, value);
}

uint8_t TOLVGetPropValueObject(RTObject* object, const char* name, RTObject** value) {
  return getValue(object, name, kObject, value);
}

uint8_t TOLVGetPropValueColor(RTObject* object, const char* name, uint32_t* value) {
  return getValue(object, name, kColor, value);
}

uint8_t TOLVSetPropValueInt(RTObject* object, const char* name, int32_t value) {
  return setValue(object, name, kInt, value);
}

uint8_t TOLVSetPropValueInt64(RTObject* object, const char* name, int64_t value) {
  return setValue(object, name, kInt64, value);
}

// Passed as a whole word, the way boolSetter takes it.
uint8_t TOLVSetPropValueBoolean(RTObject* object, const char* name, uint8_t value) {
  return setValue<int32_t>(object, name, kBoolean, value != 0);
}

uint8_t TOLVSetPropValueDouble(RTObject* object, const char* name, double value) {
  return setValue(object, name, kDouble, value);
}

uint8_t TOLVSetPropValueSingle(RTObject* object, const char* name, float value) {
  return setValue(object, name, kSingle, value);
}

uint8_t TOLVSetPropValueString(RTObject* object, const char* name, RTString value) {
  return setValue(object, name, kString, value);
}

uint8_t TOLVSetPropValueObject(RTObject* object, const char* name, RTObject* value) {
  return setValue(object, name, kObject, value);
}

uint8_t TOLVSetPropValueColor(RTObject* object, const char* name, uint32_t value) {
  return setValue(object, name, kColor, value);
}

}  // extern "C"
