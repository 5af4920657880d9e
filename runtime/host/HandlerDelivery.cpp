#include "host/HandlerDelivery.h"

#include <pthread.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "host/FailureReport.h"
#include "host/HandlerMarkers.h"
#include "host/LoadedModule.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"

// The return an armed return address leads to. It keeps the registers that
// carry a result (and the x87 state, where floating-point results are),
// asks vantorDeliverOnReturn where to go on, and goes there with the frame
// pointer and stack pointer the return left. It leaves the frame pointer
// alone, so frame walks made meanwhile pass through to the loaded code.
#if defined(__x86_64__)
asm(R"(
  .text
  .p2align 4
  .globl vantorArmedReturn
  .hidden vantorArmedReturn
  .type vantorArmedReturn, @function
vantorArmedReturn:
  subq $8, %rsp
  pushq %rax
  pushq %rdx
  pushq %rbx
  movq %rsp, %rbx
  subq $160, %rsp
  andq $-16, %rsp
  movdqa %xmm0, (%rsp)
  movdqa %xmm1, 16(%rsp)
  fnsave 32(%rsp)
  leaq 24(%rbx), %rdi
  movq %rbp, %rsi
  call vantorDeliverOnReturn
  movq %rax, 24(%rbx)
  frstor 32(%rsp)
  movdqa 16(%rsp), %xmm1
  movdqa (%rsp), %xmm0
  movq %rbx, %rsp
  popq %rbx
  popq %rdx
  popq %rax
  ret
  .size vantorArmedReturn, .-vantorArmedReturn
)");
#elif defined(__i386__)
asm(R"(
  .text
  .p2align 4
  .globl vantorArmedReturn
  .hidden vantorArmedReturn
  .type vantorArmedReturn, @function
vantorArmedReturn:
  subl $4, %esp
  pushl %eax
  pushl %edx
  pushl %ebx
  movl %esp, %ebx
  subl $128, %esp
  andl $-16, %esp
  fnsave 16(%esp)
  movl %ebp, 4(%esp)
  leal 12(%ebx), %eax
  movl %eax, (%esp)
  call vantorDeliverOnReturn
  movl %eax, 12(%ebx)
  frstor 16(%esp)
  movl %ebx, %esp
  popl %ebx
  popl %edx
  popl %eax
  ret
  .size vantorArmedReturn, .-vantorArmedReturn
)");
#endif

extern "C" void vantorArmedReturn();

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/Object Model/RuntimeExceptionFoundation";
constexpr std::uintptr_t kWord = sizeof(std::uintptr_t);
// Frames of compiled code lie at most this far apart; a larger step means the
// chain is broken.
constexpr std::uintptr_t kLoadedFrameStep = 4096;

struct StackBounds {
  std::uintptr_t low = 0;
  std::uintptr_t high = 0;
};

// Each cooperative thread runs on an operating-system thread of its own, with
// its own stack.
const StackBounds& threadStack() {
  thread_local const StackBounds bounds = [] {
    StackBounds found;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return found;
    void* address = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attributes, &address, &size) == 0) {
      found.low = reinterpret_cast<std::uintptr_t>(address);
      found.high = found.low + size;
    }
    pthread_attr_destroy(&attributes);
    return found;
  }();
  return bounds;
}

bool onStack(std::uintptr_t at, std::uintptr_t length) {
  const StackBounds& stack = threadStack();
  return at >= stack.low && at <= stack.high && stack.high - at >= length;
}

// A frame whose saved frame pointer and return address can be read.
bool readableFrame(std::uintptr_t frame) { return frame % kWord == 0 && onStack(frame, 2 * kWord); }

std::uintptr_t wordAt(std::uintptr_t at) { return *reinterpret_cast<const std::uintptr_t*>(at); }

// The caller's frame when the chain may be followed there: frames lie higher
// up the stack the further out they are, and a loaded caller's frame is close.
std::optional<std::uintptr_t> callerFrame(std::uintptr_t frame, std::uintptr_t next, bool loadedCaller) {
  if (next <= frame || !readableFrame(next)) return std::nullopt;
  if (loadedCaller && next - frame > kLoadedFrameStep) return std::nullopt;
  return next;
}

struct ArmedReturn {
  std::uintptr_t slot;
  std::uintptr_t original;
};

thread_local std::vector<ArmedReturn> armedReturns;

std::uintptr_t armedReturnAddress() { return reinterpret_cast<std::uintptr_t>(&vantorArmedReturn); }

std::uintptr_t returnAddressAt(std::uintptr_t slot) {
  const std::uintptr_t value = wordAt(slot);
  if (value != armedReturnAddress()) return value;
  for (auto armed = armedReturns.rbegin(); armed != armedReturns.rend(); ++armed) {
    if (armed->slot == slot) return armed->original;
  }
  return value;
}

void armFrom(const LoadedModule& module, std::uintptr_t frame) {
  for (std::optional<std::uintptr_t> at = frame; at && readableFrame(*at);) {
    const std::uintptr_t slot = *at + kWord;
    const std::uintptr_t returnAddress = wordAt(slot);
    if (returnAddress == armedReturnAddress()) return;
    if (module.contains(returnAddress)) {
      armedReturns.push_back({slot, returnAddress});
      *reinterpret_cast<std::uintptr_t*>(slot) = armedReturnAddress();
      return;
    }
    at = callerFrame(*at, wordAt(*at), false);
  }
}

// The original return address of an armed slot; records of deeper frames,
// which are gone, go with it.
std::uintptr_t disarm(std::uintptr_t slot) {
  for (auto armed = armedReturns.rbegin(); armed != armedReturns.rend(); ++armed) {
    if (armed->slot != slot) continue;
    const std::uintptr_t original = armed->original;
    std::erase_if(armedReturns, [slot](const ArmedReturn& other) { return other.slot <= slot; });
    return original;
  }
  // Without the return address there is nowhere to go on.
  reportAssertion(kSourceFile, __LINE__, "armedReturn", "A return into loaded code was lost");
  std::abort();
}

void enterHandler(const LoadedModule& module, RTObject* exception, std::uintptr_t frame, std::size_t marker) {
  const std::int16_t offset = markerVariableOffset(module.code(), marker);
  if (offset != 0) {
    const std::uintptr_t variable = frame + static_cast<std::intptr_t>(offset);
    if (onStack(variable, kWord)) {
      const auto value = reinterpret_cast<std::uintptr_t>(exception);
      std::memcpy(reinterpret_cast<void*>(variable), &value, sizeof value);
      RuntimeLockObject(exception);
    } else {
      reportAssertion(kSourceFile, __LINE__, "variable on the stack",
                      "A handler's exception variable lies outside the stack");
    }
  }
  RuntimeUnlockObject(exception);
}

// The handler for the exception, searched from the function that called the
// runtime outward; returns where the armed return goes on.
std::uintptr_t deliver(const LoadedModule& module, RTObject* exception, std::uintptr_t firstSlot,
                       std::uintptr_t original, std::uintptr_t frame) {
  std::uintptr_t calleeFrame = firstSlot - kWord;
  std::uintptr_t slot = firstSlot;
  std::uintptr_t returnAddress = original;
  std::optional<std::uintptr_t> caller = callerFrame(calleeFrame, frame, true);
  for (;;) {
    if (!module.contains(returnAddress)) {
      // The exception leaves the loaded code: the runtime function it returns
      // to finds it pending, and the next return into loaded code above takes it.
      exceptions::setPending(exception);
      RuntimeUnlockObject(exception);
      armFrom(module, calleeFrame);
      return original;
    }
    if (!caller) {
      RuntimeUnhandledException(exception);
      RuntimeUnlockObject(exception);
      return original;
    }
    if (const auto marker = findHandlerMarker(module.code(), returnAddress - module.codeBase())) {
      enterHandler(module, exception, *caller, *marker);
      const std::uintptr_t handler = module.codeBase() + *marker + kMarkerHandlerOffset;
      if (slot == firstSlot) return handler;
      *reinterpret_cast<std::uintptr_t*>(slot) = handler;
      return original;
    }
    calleeFrame = *caller;
    slot = calleeFrame + kWord;
    returnAddress = wordAt(slot);
    caller = callerFrame(calleeFrame, wordAt(calleeFrame), module.contains(returnAddress));
  }
}

}  // namespace

void armLoadedCodeReturn(std::uintptr_t frame) {
  if (const LoadedModule* module = loadedModule()) armFrom(*module, frame);
}

std::vector<std::string_view> loadedFunctionNames(std::uintptr_t frame) {
  std::vector<std::string_view> names;
  const LoadedModule* module = loadedModule();
  if (module == nullptr) return names;
  for (std::optional<std::uintptr_t> at = frame; at && readableFrame(*at);) {
    const std::uintptr_t returnAddress = returnAddressAt(*at + kWord);
    const bool loaded = module->contains(returnAddress);
    if (const auto symbol = loaded ? module->symbolAt(returnAddress) : std::nullopt; symbol && !symbol->name.empty()) {
      names.push_back(symbol->name);
    }
    at = callerFrame(*at, wordAt(*at), loaded);
  }
  return names;
}

}  // namespace rt::host

// Called by vantorArmedReturn with the slot the armed return address was in
// and the frame pointer the return left (the loaded function's frame).
extern "C" __attribute__((visibility("hidden"), used)) std::uintptr_t vantorDeliverOnReturn(std::uintptr_t slot,
                                                                                           std::uintptr_t frame) {
  using namespace rt::host;
  const std::uintptr_t original = disarm(slot);
  const LoadedModule* module = loadedModule();
  RTObject* exception = module != nullptr ? rt::exceptions::take() : nullptr;
  if (exception == nullptr) return original;
  return deliver(*module, exception, slot, original, frame);
}
