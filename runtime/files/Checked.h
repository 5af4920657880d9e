// The handles' one rule: an entry point's result counts only once no runtime
// exception is pending; a pending one is thrown and the result released.
#pragma once

#include <utility>

#include "objects/ExceptionHandle.h"
#include "objects/ObjectHandle.h"

namespace rt::files {

template <class Result>
Result checked(Result result) {
  throwIfPending();
  return result;
}

// Runs an entry point without a result and throws what it raised.
template <class Function, class... Arguments>
void call(Function function, Arguments... arguments) {
  function(arguments...);
  throwIfPending();
}

// Field accessors take no nil; a null handle throws NilObjectException.
void requireObject(const Object& object);

}  // namespace rt::files
