// Calls from the runtime into compiled code (event handlers, polled objects,
// tasks). An exception that compiled code throws must not unwind runtime
// frames it does not know: it is made pending again for the caller. Loaded
// machine code throws nothing: an exception leaving it is found pending when
// it returns.
#pragma once

#include "objects/ExceptionClasses.h"
#include "objects/ExceptionHandle.h"

namespace rt::console {

// Runs call; false when it threw or returned with a new exception pending
// (the exception is then pending).
template <class Call>
bool callCompiled(Call&& call) {
  try {
    const bool pendingBefore = exceptions::pending() != nullptr;
    call();
    return pendingBefore || exceptions::pending() == nullptr;
  } catch (const Exception& exception) {
    exceptions::repend(exception.object().get());
    return false;
  }
}

}  // namespace rt::console
