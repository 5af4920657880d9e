#include <pthread.h>

#include "console/CompiledCall.h"
#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "console/ThreadScheduler.h"
#include "host/FailureReport.h"
#include "host/HostApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "objects/ObjectHandle.h"

namespace rt::console {
namespace {

constexpr const char* kSourceFile = "../Common/ClassLib/RuntimeThread";

// The operating-system stack holds more than the thread's budget: the C
// library keeps the thread's own storage at the top of the same allocation,
// and below the budget's 8 KiB of head-room the runtime still needs room to
// turn a StackOverflowException into a C++ throw (the unwinder, lazy binding
// of its symbols, signal frames).
constexpr std::size_t kStackReserve = std::size_t{64} * 1024;
constexpr std::uintptr_t kRoomBelowBudget = std::uintptr_t{32} * 1024;

ThreadObject* fields(RTObject* thread) { return reinterpret_cast<ThreadObject*>(thread); }

ThreadScheduler& scheduler() { return ThreadScheduler::instance(); }

// The record of a Thread object, or null when it does not run; a nil object raises.
ThreadRecord* recordOf(RTObject* thread) {
  if (thread == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  return fields(thread)->record;
}

std::int32_t stackSizeOf(RTObject* thread) {
  const std::int32_t size = fields(thread)->stackSize;
  return size > 0 ? size : kDefaultStackSize;
}

// The lowest address of the calling thread's stack (0 when unknown).
std::uintptr_t stackBottom() {
  pthread_attr_t attributes;
  void* address = nullptr;
  std::size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    if (pthread_attr_getstack(&attributes, &address, &size) != 0) address = nullptr;
    pthread_attr_destroy(&attributes);
  }
  return reinterpret_cast<std::uintptr_t>(address);
}

// The budget is measured from here. Where thread-local storage takes much of
// the stack (as ThreadSanitizer's does), less than the size is left: then the
// budget ends where the room for the throw begins.
void setStackBudget(ThreadRecord* record, std::uint32_t size) {
  TOLVInitStackChecker(size, 0);
  const std::uintptr_t top = TOLVGetStackTop();
  const std::uintptr_t lowest = stackBottom() + kRoomBelowBudget;
  if (TOLVGetStackLimit() < lowest && top > lowest) {
    TOLVInitStackChecker(static_cast<std::uint32_t>(top - lowest), top);
  }
  record->stackTop = top;
  record->stackLimit = TOLVGetStackLimit();
}

// Raises the Run event on the thread's own stack. An exception that leaves
// Run has nowhere else to go: it is an unhandled exception (a
// ThreadEndException counts as handled there).
void runThread(ThreadRecord* record) {
  RTObject* thread = record->thread;
  setStackBudget(record, static_cast<std::uint32_t>(stackSizeOf(thread)));
  auto run = reinterpret_cast<ThreadRunHandler>(objects::lookupEvent(thread, threadRunEvent));
  if (run != nullptr) callCompiled([&] { run(thread); });
  if (RTObject* escaped = exceptions::take()) {
    RuntimeUnhandledException(escaped);
    RuntimeUnlockObject(escaped);
    // The thread ends here; nothing may stay pending on it.
    RuntimeUnlockObject(exceptions::take());
  }
}

void* threadBody(void* argument) {
  auto* record = static_cast<ThreadRecord*>(argument);
  scheduler().enterThread(record);
  // A thread killed before its first turn ends without running.
  if (!record->killed) runThread(record);
  RTObject* thread = record->thread;
  fields(thread)->record = nullptr;
  record->thread = nullptr;
  RuntimeUnlockObject(thread);
  scheduler().exitThread(record);
  return nullptr;
}

int startOperatingSystemThread(ThreadRecord* record, std::int32_t stackSize) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  const std::size_t size = static_cast<std::size_t>(stackSize) + kStackReserve;
  int err = pthread_attr_setstacksize(&attributes, size);
  pthread_t id;
  if (err == 0) err = pthread_create(&id, &attributes, &threadBody, record);
  pthread_attr_destroy(&attributes);
  return err;
}

}  // namespace

void killOtherThreads() {
  const ThreadRecord* self = scheduler().current();
  for (RTObject* thread : scheduler().otherThreadObjects()) {
    // A thread that is killed itself meanwhile stops killing others.
    if (!self->killed) ThreadKill(thread);
    RuntimeUnlockObject(thread);
  }
}

}  // namespace rt::console

using namespace rt::console;

extern "C" {

void ThreadInitializer(RTObject* thread) {
  if (thread == nullptr) {
    rt::reportAssertion(kSourceFile, __LINE__, "obj");
    return;
  }
  fields(thread)->priority = kNormalPriority;
}

void threadRun(RTObject* thread) {
  if (thread == nullptr) {
    RaiseNilObjectException();
    return;
  }
  ThreadObject* object = fields(thread);
  if (object->record != nullptr) {
    raiseWithMessage(rt::exceptions::threadAlreadyRunningException, 0,
                     "You cannot call Run on a thread that is already running.");
    return;
  }
  ThreadRecord* record = scheduler().addThread(thread, object->priority);
  object->record = record;
  if (startOperatingSystemThread(record, stackSizeOf(thread)) != 0) {
    rt::reportAssertion(kSourceFile, __LINE__, "0 == err");
    // Nothing would ever take the baton for this record.
    object->record = nullptr;
    scheduler().discardThread(record);
    return;
  }
  scheduler().switchThreads();
}

void ThreadSleep(RTObject* thread, int32_t milliseconds, uint8_t wakeEarly) {
  ThreadRecord* record = recordOf(thread);
  if (record != nullptr) scheduler().sleep(record, milliseconds, wakeEarly != 0);
}

void ThreadSuspend(RTObject* thread) {
  if (ThreadRecord* record = recordOf(thread)) scheduler().suspend(record);
}

void ThreadResume(RTObject* thread) {
  if (ThreadRecord* record = recordOf(thread)) scheduler().resume(record);
}

void ThreadKill(RTObject* thread) {
  ThreadRecord* record = recordOf(thread);
  if (record == nullptr) return;
  record->suspendCount = 0;
  scheduler().resume(record);
  if (record == scheduler().current()) {
    rt::exceptions::raise(rt::exceptions::threadEndException);
    return;
  }
  record->killed = 1;
  const rt::Object keep(thread);
  const ThreadRecord* self = scheduler().current();
  while (fields(thread)->record == record && !self->killed) scheduler().switchThreads();
}

int32_t ThreadGetPriority(RTObject* thread) {
  if (thread == nullptr) {
    RaiseNilObjectException();
    return 0;
  }
  return fields(thread)->priority;
}

void ThreadSetPriority(RTObject* thread, int32_t priority) {
  if (thread == nullptr) {
    RaiseNilObjectException();
    return;
  }
  if (priority < kLowestPriority) return;
  fields(thread)->priority = priority;
  if (ThreadRecord* record = fields(thread)->record) scheduler().setPriority(record, priority);
}

int32_t ThreadGetStackSize(RTObject* thread) {
  if (thread == nullptr) {
    RaiseNilObjectException();
    return 0;
  }
  return fields(thread)->stackSize;
}

void ThreadSetStackSize(RTObject* thread, int32_t size) {
  if (thread == nullptr) {
    RaiseNilObjectException();
    return;
  }
  if (fields(thread)->record != nullptr) {
    rt::exceptions::raise(rt::exceptions::threadAlreadyRunningException);
    return;
  }
  fields(thread)->stackSize = size;
}

intptr_t ThreadGetID(RTObject* thread) { return reinterpret_cast<intptr_t>(recordOf(thread)); }

int32_t ThreadGetState(RTObject* thread) {
  const ThreadRecord* record = recordOf(thread);
  ThreadState state = ThreadState::NotRunning;
  if (record == nullptr) return static_cast<int32_t>(state);
  if (record->state == 0) state = ThreadState::Running;
  else if (record->state & kStateWaiting) state = ThreadState::Waiting;
  else if (record->state & kStateSuspended) state = ThreadState::Suspended;
  else if (record->state & kStateSleeping) state = ThreadState::Sleeping;
  return static_cast<int32_t>(state);
}

}  // extern "C"
