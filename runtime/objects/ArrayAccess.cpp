#include "objects/ArrayHandle.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionHandle.h"

namespace rt {
namespace {

template <class Function>
Function slot(const Array& array, ArraySlot which) {
  if (!array) {
    RaiseNilObjectException();
    throwIfPending();
  }
  return reinterpret_cast<Function>(array->methods->slots[which]);
}

}  // namespace

Array newArray(std::int32_t elementType, std::int32_t upperBound) {
  Array array = Array::adopt(CreateArray(1, elementType, upperBound));
  throwIfPending();
  return array;
}

std::int32_t integerAt(const Array& array, std::int32_t index) {
  const auto get = slot<std::int32_t (*)(RTArray*, std::int32_t)>(array, kArraySlotGet);
  const std::int32_t value = get(array.get(), index);
  throwIfPending();
  return value;
}

void setIntegerAt(const Array& array, std::int32_t index, std::int32_t value) {
  const auto set = slot<void (*)(RTArray*, std::int32_t, std::int32_t)>(array, kArraySlotSet);
  set(array.get(), value, index);
  throwIfPending();
}

String stringAt(const Array& array, std::int32_t index) {
  const auto get = slot<RTString (*)(RTArray*, std::int32_t)>(array, kArraySlotGet);
  String value = String::adopt(get(array.get(), index));
  throwIfPending();
  return value;
}

void setStringAt(const Array& array, std::int32_t index, const String& value) {
  const auto set = slot<void (*)(RTArray*, RTString, std::int32_t)>(array, kArraySlotSet);
  set(array.get(), value.get(), index);
  throwIfPending();
}

}  // namespace rt
