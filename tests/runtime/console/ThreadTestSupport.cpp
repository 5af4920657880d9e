#include "ThreadTestSupport.h"

#include <map>

#include "console/ConsoleApi.h"
#include "console/ConsoleApplication.h"
#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "console/Timer.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "objects/ExceptionHandle.h"
#include "text/StringHandle.h"

namespace rt::test {
namespace {

std::map<RTObject*, std::function<void(RTObject*)>>& bodies() {
  static std::map<RTObject*, std::function<void(RTObject*)>> map;
  return map;
}

void runBody(RTObject* thread) {
  const auto found = bodies().find(thread);
  if (found == bodies().end()) return;
  const std::function<void(RTObject*)> body = std::move(found->second);
  bodies().erase(found);
  body(thread);
}

// A subclass of Thread that implements Run, as a compiled subclass does.
ClassRecord* scriptedThreadClass() {
  static ClassRecord* const cls = [] {
    ClassRecord* thread = objects::classFor(console::threadClass);
    ClassRecord* record = RuntimeNewClass(thread, thread->methodCount, 0, thread->eventCount, 0,
                                          thread->propertyCount);
    record->name = String("ScriptedThread").leak();
    record->instanceSize = thread->instanceSize;
    record->events[console::threadRunEvent.number].handler = reinterpret_cast<void*>(&runBody);
    return record;
  }();
  return cls;
}

std::int32_t manualTicks = 3000;

std::int32_t readManualTicks() { return manualTicks; }

void advanceManualClock(std::uint32_t milliseconds) {
  manualTicks += ManualClock::ticksFor(milliseconds);
}

void recordUnhandled(RTObject* exception) {
  unhandledExceptions().push_back(std::string(text::bytes(exception->cls->name)));
}

}  // namespace

Object makeThread(std::function<void(RTObject* self)> body, std::int32_t stackSize) {
  Object thread = newObject(scriptedThreadClass());
  ThreadSetStackSize(thread.get(), stackSize);
  bodies()[thread.get()] = std::move(body);
  return thread;
}

Object makeThread(std::function<void()> body, std::int32_t stackSize) {
  return makeThread([body = std::move(body)](RTObject*) { body(); }, stackSize);
}

void run(const Object& thread) {
  threadRun(thread.get());
  throwIfPending();
}

void finish(const Object& thread) {
  while (stateOf(thread) != static_cast<std::int32_t>(console::ThreadState::NotRunning)) {
    YieldToNextThread();
  }
}

std::int32_t stateOf(const Object& thread) { return ThreadGetState(thread.get()); }

ManualClock::ManualClock() : saved_(console::clockSource()) {
  // Three ticks are exactly 50 ms: each clock starts on such a boundary.
  manualTicks += 3 - manualTicks % 3;
  console::setClockSource({&readManualTicks, &advanceManualClock});
}

ManualClock::~ManualClock() { console::setClockSource(saved_); }

void ManualClock::advanceTicks(std::int32_t ticks) { manualTicks += ticks; }

std::int32_t ManualClock::ticksFor(std::uint32_t milliseconds) {
  return static_cast<std::int32_t>((static_cast<std::uint64_t>(milliseconds) * 3 + 49) / 50);
}

std::vector<std::string>& unhandledExceptions() {
  static std::vector<std::string> names;
  return names;
}

void ThreadTest::SetUpTestSuite() {
  console::registerConsoleClasses();
  for (const ClassDefinition* definition :
       {&console::threadClass, &console::semaphoreClass, &console::criticalSectionClass,
        &console::mutexClass, &console::timerClass,
        &console::actionNotificationReceiverInterface}) {
    objects::classFor(*definition);
  }
  scriptedThreadClass();
}

void ThreadTest::SetUp() {
  RuntimeTest::SetUp();
  unhandledExceptions().clear();
  exceptions::setUnhandledExceptionHook(&recordUnhandled);
}

void ThreadTest::TearDown() {
  exceptions::setUnhandledExceptionHook(nullptr);
  RuntimeTest::TearDown();
}

}  // namespace rt::test
