#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "console/ThreadScheduler.h"
#include "host/FailureReport.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"

namespace {

using namespace rt::console;

constexpr const char* kSourceFile = "../Common/ClassLib/RuntimeThread";

// The fields of a CriticalSection; null after raising for nil.
CriticalSectionObject* fields(RTObject* section) {
  if (section == nullptr) RaiseNilObjectException();
  return reinterpret_cast<CriticalSectionObject*>(section);
}

bool ownedByAnother(const CriticalSectionObject* section, const ThreadRecord* self) {
  return section->count > 0 && section->owner != self;
}

}  // namespace

extern "C" {

void CriticalSectionInitializer(RTObject* section) {
  if (section == nullptr) {
    rt::reportAssertion(kSourceFile, __LINE__, "obj");
    return;
  }
  CriticalSectionObject* c = fields(section);
  c->count = 0;
  c->owner = nullptr;
}

void criticalsection_enter(RTObject* section) {
  CriticalSectionObject* c = fields(section);
  if (c == nullptr) return;
  ThreadRecord* self = ThreadScheduler::instance().current();
  // Another thread may enter between the release that woke this one and its
  // turn, so the test is made again after every wait.
  while (ownedByAnother(c, self)) {
    if (!waitQueue(c->waiting).wait()) return;
  }
  c->owner = self;
  ++c->count;
}

uint8_t CriticalSection_TryEnter(RTObject* section) {
  CriticalSectionObject* c = fields(section);
  if (c == nullptr) return 0;
  ThreadRecord* self = ThreadScheduler::instance().current();
  if (ownedByAnother(c, self)) return 0;
  c->owner = self;
  ++c->count;
  return 1;
}

void criticalsection_leave(RTObject* section) {
  CriticalSectionObject* c = fields(section);
  if (c == nullptr) return;
  ThreadScheduler& scheduler = ThreadScheduler::instance();
  if (c->count <= 0 || c->owner != scheduler.current()) {
    raiseWithMessage(rt::exceptions::runtimeException, 2,
                     "The thread which Entered the CriticalSection must be the thread to Leave the "
                     "CriticalSection");
    return;
  }
  if (--c->count > 0) return;
  c->owner = nullptr;
  if (waitQueue(c->waiting).releaseFirst()) scheduler.switchThreads();
}

}  // extern "C"
