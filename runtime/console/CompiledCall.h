// Calls from the runtime into compiled code (event handlers, polled objects,
// tasks). An exception that compiled code throws must not unwind runtime
// frames it does not know: it is made pending again for the caller.
#pragma once

#include "objects/ExceptionClasses.h"
#include "objects/ExceptionHandle.h"

namespace rt::console {

// Runs call; false when it threw (the exception is then pending).
template <class Call>
bool callCompiled(Call&& call) {
  try {
    call();
    return true;
  } catch (const Exception& exception) {
    exceptions::repend(exception.object().get());
    return false;
  }
}

}  // namespace rt::console
