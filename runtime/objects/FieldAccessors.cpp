#include "objects/FieldAccessors.h"

#include <cstring>

#include "objects/ArrayApi.h"
#include "text/StringApi.h"

namespace {

// T may be a pointer type (object and string fields): its own size is meant.
template <class T>
T load(RTObject* object, intptr_t offset) {
  T value;
  std::memcpy(&value, reinterpret_cast<const char*>(object) + offset, sizeof value);  // NOLINT(bugprone-sizeof-expression)
  return value;
}

template <class T>
void store(RTObject* object, intptr_t offset, T value) {
  std::memcpy(reinterpret_cast<char*>(object) + offset, &value, sizeof value);  // NOLINT(bugprone-sizeof-expression)
}

}  // namespace

extern "C" {

int32_t byteGetter(RTObject* object, intptr_t offset) { return load<uint8_t>(object, offset); }
void byteSetter(RTObject* object, intptr_t offset, int32_t value) {
  store(object, offset, static_cast<uint8_t>(value));
}
int32_t boolGetter(RTObject* object, intptr_t offset) { return load<int8_t>(object, offset); }
void boolSetter(RTObject* object, intptr_t offset, int32_t value) {
  store(object, offset, static_cast<uint8_t>(value));
}
int32_t shortGetter(RTObject* object, intptr_t offset) { return load<int16_t>(object, offset); }
void shortSetter(RTObject* object, intptr_t offset, int32_t value) {
  store(object, offset, static_cast<int16_t>(value));
}
int32_t intGetter(RTObject* object, intptr_t offset) { return load<int32_t>(object, offset); }
void intSetter(RTObject* object, intptr_t offset, int32_t value) { store(object, offset, value); }
int64_t int64Getter(RTObject* object, intptr_t offset) { return load<int64_t>(object, offset); }
void int64Setter(RTObject* object, intptr_t offset, int64_t value) { store(object, offset, value); }
float singleGetter(RTObject* object, intptr_t offset) { return load<float>(object, offset); }
void singleSetter(RTObject* object, intptr_t offset, float value) { store(object, offset, value); }
double doubleGetter(RTObject* object, intptr_t offset) { return load<double>(object, offset); }
void doubleSetter(RTObject* object, intptr_t offset, double value) { store(object, offset, value); }

RTString stringGetter(RTObject* object, intptr_t offset) {
  RTString value = load<RTString>(object, offset);
  RuntimeLockString(value);
  return value;
}

void stringSetter(RTObject* object, intptr_t offset, RTString value) {
  RuntimeLockUnlockStrings(value, load<RTString>(object, offset));
  store(object, offset, value);
}

RTObject* objGetter(RTObject* object, intptr_t offset) {
  RTObject* value = load<RTObject*>(object, offset);
  RuntimeLockObject(value);
  return value;
}

void objSetter(RTObject* object, intptr_t offset, RTObject* value) {
  RuntimeLockUnlockObjects(value, load<RTObject*>(object, offset));
  store(object, offset, value);
}

RTArray* arrayGetter(RTObject* object, intptr_t offset) {
  RTArray* value = load<RTArray*>(object, offset);
  RuntimeLockArray(value);
  return value;
}

void arraySetter(RTObject* object, intptr_t offset, RTArray* value) {
  RuntimeLockUnlockArrays(value, load<RTArray*>(object, offset));
  store(object, offset, value);
}

}  // extern "C"
