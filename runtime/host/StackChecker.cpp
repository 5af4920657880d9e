#include <cstdint>

#include "console/Scheduler.h"
#include "host/HostApi.h"
#include "objects/ExceptionClasses.h"

namespace {

// Head-room kept below the current position, so the raise itself has stack.
constexpr std::uintptr_t kHeadRoom = 0x2000;

// Each cooperative thread runs on an operating-system thread of its own and
// so has its own bounds.
thread_local std::uintptr_t stackTop = 0;
thread_local std::uintptr_t stackLimit = 0;

std::uintptr_t currentPosition() {
  return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
}

}  // namespace

extern "C" {

void TOLVInitStackChecker(uint32_t size, uintptr_t top) {
  if (top == 0) top = currentPosition();
  stackTop = top;
  stackLimit = top > size ? top - size : 0;
  if (rt::console::scheduler().onMainThread()) {
    rt::console::ThreadRecord& record = rt::console::mainThreadRecord();
    record.stackTop = stackTop;
    record.stackLimit = stackLimit;
  }
}

void RuntimeStackCheck(void) {
  if (stackLimit != 0 && currentPosition() - kHeadRoom < stackLimit) {
    rt::exceptions::raise(rt::exceptions::stackOverflowException);
  }
}

uintptr_t TOLVGetStackLimit(void) { return stackLimit; }

uintptr_t TOLVGetStackTop(void) { return stackTop; }

}  // extern "C"
