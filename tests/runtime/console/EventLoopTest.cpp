// Event processing, the yield point, pollable objects and the console
// application classes.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "console/ConsoleApi.h"
#include "console/ConsoleApplication.h"
#include "console/EventLoop.h"
#include "console/Pollables.h"
#include "console/Timer.h"
#include "host/IntrinsicTable.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionHandle.h"
#include "objects/ObjectHandle.h"
#include "support/RuntimeFixture.h"
#include "text/StringHandle.h"

namespace rt::test {
namespace {

std::vector<std::string> events;

void timerStep() { events.push_back("timers"); }

int polls = 0;
RTObject* removeDuringPoll = nullptr;

void poll(RTObject* item) {
  ++polls;
  if (removeDuringPoll == item) ApplicationRemovePollableObject(nullptr, item);
}

// A class implementing _Pollable, as compiled code lays it out.
ClassRecord* pollableItemClass() {
  static ClassRecord* cls = [] {
    static MethodEntry pollTable[] = {{reinterpret_cast<void*>(&poll), nullptr}};
    ClassRecord* record = RuntimeNewClass(nullptr, 0, 1, 0, 0, 0);
    record->name = String("Poller").leak();
    record->instanceSize = sizeof(RTObject);
    record->interfaces[0] = {console::pollableClass(), 0, pollTable};
    return record;
  }();
  return cls;
}

class EventLoopTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite() {
    console::registerConsoleClasses();
    objects::classFor(console::serviceApplication);
    objects::classFor(exceptions::outOfBoundsException);
    pollableItemClass();
  }
  void SetUp() override {
    RuntimeTest::SetUp();
    events.clear();
  }
};

TEST_F(EventLoopTest, OnePassRunsBackgroundTasksNewestFirstThenTimersThenPeriodicTasks) {
  const auto first = console::addBackgroundTask([] { events.push_back("background 1"); }, 0);
  const auto second = console::addBackgroundTask([] { events.push_back("background 2"); }, 0);
  const auto periodic = console::addPeriodicTask([] { events.push_back("periodic"); }, 0);
  const auto slow = console::addBackgroundTask([] { events.push_back("slow"); }, 1000000);
  console::setTimerStep(&timerStep);
  console::processEvents();
  console::setTimerStep(&console::fireDueTimers);
  for (auto id : {first, second, slow}) console::removeBackgroundTask(id);
  console::removePeriodicTask(periodic);
  console::processEvents();
  EXPECT_EQ(events,
            (std::vector<std::string>{"background 2", "background 1", "timers", "periodic"}));
}

TEST_F(EventLoopTest, TaskMayRemoveItselfAndOthersWhileThePassRuns) {
  std::int32_t self = 0, other = 0;
  other = console::addBackgroundTask([] { events.push_back("other"); }, 0);
  self = console::addBackgroundTask(
      [&] {
        events.push_back("self");
        console::removeBackgroundTask(self);
        console::removeBackgroundTask(other);
      },
      0);
  console::processEvents();
  console::processEvents();
  EXPECT_EQ(events, (std::vector<std::string>{"self"}));
}

TEST_F(EventLoopTest, ExceptionOfATaskIsLeftPendingAndEndsThePass) {
  const auto later = console::addBackgroundTask([] { events.push_back("later"); }, 0);
  const auto raising = console::addBackgroundTask(
      [] {
        exceptions::raise(exceptions::outOfBoundsException);
        throwIfPending();
      },
      0);
  console::processEvents();
  console::removeBackgroundTask(later);
  console::removeBackgroundTask(raising);
  EXPECT_THROW(throwIfPending(), Exception);
  EXPECT_TRUE(events.empty());
}

TEST_F(EventLoopTest, YieldPointDoesPeriodicWorkAtMostOncePerTick) {
  int runs = 0;
  const auto task = console::addPeriodicTask([&] { ++runs; }, 0);
  const std::int32_t before = RuntimeTicks();
  for (int i = 0; i < 100000; ++i) RuntimeBackgroundTask();
  const std::int32_t after = RuntimeTicks();
  console::removePeriodicTask(task);
  EXPECT_GE(runs, 1);
  EXPECT_LE(runs, after - before + 1);
}

TEST_F(EventLoopTest, TickDifferencesWrapWithTheTickCount) {
  struct Case {
    std::int32_t now;
    std::int32_t then;
    std::int32_t elapsed;
  };
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const Case cases[] = {{100, 40, 60}, {kMin + 5, kMax - 4, 10}, {kMin, kMax, 1}, {kMax, kMin, -1}};
  for (const Case& c : cases) EXPECT_EQ(console::ticksSince(c.now, c.then), c.elapsed) << c.now;
}

TEST_F(EventLoopTest, NullFunctionAtTheCallGateIsReported) {
  testing::internal::CaptureStdout();
  console::callThroughGate(nullptr);
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("../Common/runtimemainloop"), std::string::npos);
  EXPECT_NE(report.find("Failure Condition: fp\n"), std::string::npos);
}

TEST_F(EventLoopTest, PollableObjectsArePolledUntilRemovedAlsoByThemselves) {
  polls = 0;
  Object item = newObject(pollableItemClass());
  Object removesItself = newObject(pollableItemClass());
  removeDuringPoll = removesItself.get();
  ApplicationAddPollableObject(nullptr, item.get());
  ApplicationAddPollableObject(nullptr, removesItself.get());
  EXPECT_EQ(item->refCount, 2);  // the test's and the registry's
  RuntimeDoEvents(nullptr, -1);
  RuntimeDoEvents(nullptr, 0);
  ApplicationRemovePollableObject(nullptr, item.get());
  RuntimeDoEvents(nullptr, -1);
  removeDuringPoll = nullptr;
  EXPECT_EQ(polls, 3) << "twice the one removed by the test, once the one removing itself";
  EXPECT_EQ(item->refCount, 1);
  EXPECT_EQ(removesItself->refCount, 1);
  EXPECT_EQ(console::pollableCount(), 0u);

  Object app = newObject(objects::classFor(console::consoleApplication));
  ApplicationAddPollableObject(nullptr, app.get());
  EXPECT_THROW(throwIfPending(), Exception) << "an object without the interface";
  EXPECT_EQ(console::pollableCount(), 0u);
}

TEST_F(EventLoopTest, ApplicationClassesHaveTheirMethodsEventsAndExitCode) {
  ClassRecord* console = objects::classFor(console::consoleApplication);
  ClassRecord* service = objects::classFor(console::serviceApplication);
  const char* names[] = {"DoEvents%",           "Daemonize%",
                         "_AddPollableObject%", "_RemovePollableObject%",
                         "YieldToNextThread%",  "SleepCurrentThread%"};
  ASSERT_EQ(console->methodCount, 6u);
  for (std::uint32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(text::bytes(console->methods[i].signature).rfind(names[i], 0), 0u) << names[i];
  }
  EXPECT_EQ(console->eventCount, 2u);
  EXPECT_EQ(service->eventCount, 6u);
  EXPECT_EQ(service->super, console);
  EXPECT_EQ(console::dontDaemonizeEvent.number, 5);
  Object app = newObject(service);
  EXPECT_EQ(reinterpret_cast<ConsoleApplicationObject*>(app.get())->exitCode, 0);
  EXPECT_TRUE(console::isApplication(app.get()));
  EXPECT_EQ(offsetof(ConsoleApplicationObject, exitCode), sizeof(RTObject));
}

TEST_F(EventLoopTest, StandardStreamsCannotBecomeSockets) {
  for (auto asSocket : {&RuntimeStdInputAsSocket, &RuntimeStdOutputAsSocket}) {
    EXPECT_EQ(asSocket(nullptr), nullptr);
    try {
      throwIfPending();
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(e.className(), "ServiceNotAvailableException");
    }
  }
}

// The host's intrinsic table test lists the console application's other entry points.
TEST_F(EventLoopTest, StreamEntryPointsAreRegisteredUnderTheirNames) {
  for (const char* name :
       {"RuntimeStdOutputIsTerminal", "RuntimeStdInputAsSocket", "RuntimeStdOutputAsSocket"}) {
    EXPECT_NE(intrinsics::lookup(name), nullptr) << name;
  }
}

}  // namespace
}  // namespace rt::test
