#include "objects/ExceptionApi.h"
#include "objects/ExceptionHandle.h"
#include "objects/ClassRegistry.h"
#include "objects/ObjectHandle.h"
#include "text/StringStorage.h"

namespace rt {

Object newObject(ClassRecord* cls) {
  Object object = Object::adopt(RuntimeNewObject(cls));
  throwIfPending();
  return object;
}

Exception::Exception(Object exception) : exception_(std::move(exception)) {
  what_ = className() + ": " + message();
}

std::int32_t Exception::errorNumber() const {
  return reinterpret_cast<const RuntimeExceptionObject*>(exception_.get())->errorNumber;
}

std::string Exception::message() const {
  return std::string(
      text::bytes(reinterpret_cast<const RuntimeExceptionObject*>(exception_.get())->message));
}

std::string Exception::className() const { return std::string(text::bytes(exception_->cls->name)); }

bool Exception::isA(const ClassDefinition& definition) const {
  return RuntimeObjectIsa(exception_.get(), objects::classFor(definition)) != 0;
}

void throwPending() { throw Exception(Object::adopt(exceptions::take())); }

}  // namespace rt
