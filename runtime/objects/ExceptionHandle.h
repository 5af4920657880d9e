// The C++ face of runtime exceptions: a pending exception becomes a C++ throw
// right after the entry point that raised it returns, so RAII releases each
// frame's locals before the enclosing handler runs.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "objects/ClassDefinition.h"
#include "objects/ExceptionClasses.h"
#include "objects/ObjectHandle.h"

namespace rt {

class Exception : public std::exception {
 public:
  explicit Exception(Object exception);

  const Object& object() const { return exception_; }
  std::int32_t errorNumber() const;
  std::string message() const;
  std::string className() const;
  // Whether the exception is of the class (or a subclass) of a definition.
  bool isA(const ClassDefinition& definition) const;
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  Object exception_;
  std::string what_;
};

[[noreturn]] void throwPending();

// Call right after a runtime entry point: throws its pending exception, if any.
inline void throwIfPending() {
  if (exceptions::pending() != nullptr) [[unlikely]]
    throwPending();
}

}  // namespace rt
