#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "console/ThreadScheduler.h"
#include "host/FailureReport.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"

namespace {

using namespace rt::console;

constexpr const char* kSourceFile = "../Common/ClassLib/RuntimeThread";

// The fields of a Semaphore; null after raising for nil.
SemaphoreObject* fields(RTObject* semaphore) {
  if (semaphore == nullptr) RaiseNilObjectException();
  return reinterpret_cast<SemaphoreObject*>(semaphore);
}

}  // namespace

extern "C" {

void SemaphoreInitializer(RTObject* semaphore) {
  if (semaphore == nullptr) {
    rt::reportAssertion(kSourceFile, __LINE__, "obj");
    return;
  }
  SemaphoreObject* s = fields(semaphore);
  s->maximum = s->available = 1;
}

void Semaphore_Constructor(RTObject* semaphore, int32_t initialCount) {
  SemaphoreObject* s = fields(semaphore);
  if (s == nullptr) return;
  if (initialCount < 1) {
    raiseWithMessage(rt::exceptions::runtimeException, 1,
                     "Illegal initialCount for the Semaphore.");
    return;
  }
  s->maximum = s->available = initialCount;
}

void Semaphore_Signal(RTObject* semaphore) {
  SemaphoreObject* s = fields(semaphore);
  if (s == nullptr || --s->available >= 0) return;
  // A thread killed in line never got its unit: it gives back its claim.
  if (!waitQueue(s->waiting).wait()) ++s->available;
}

uint8_t Semaphore_TrySignal(RTObject* semaphore) {
  SemaphoreObject* s = fields(semaphore);
  if (s == nullptr || s->available - 1 < 0) return 0;
  --s->available;
  return 1;
}

void semaphore_release(RTObject* semaphore) {
  SemaphoreObject* s = fields(semaphore);
  if (s == nullptr) return;
  if (++s->available > s->maximum) {
    s->available = s->maximum;
    raiseWithMessage(rt::exceptions::runtimeException, 0,
                     "Called Semaphore.Release too many times.");
    return;
  }
  if (waitQueue(s->waiting).releaseFirst()) ThreadScheduler::instance().switchThreads();
}

}  // extern "C"
