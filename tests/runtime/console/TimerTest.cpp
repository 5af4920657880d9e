// Timers and the timer pass of event processing, on a clock the test moves.
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <map>
#include <string>

#include "ThreadTestSupport.h"
#include "console/ConsoleApi.h"
#include "console/EventLoop.h"
#include "console/SchedulerClock.h"
#include "console/Timer.h"
#include "console/TimerApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionHandle.h"
#include "objects/FieldAccessors.h"
#include "text/StringHandle.h"

namespace rt::test {
namespace {

using console::TimerObject;

std::map<RTObject*, int>& firings() {
  static std::map<RTObject*, int> counts;
  return counts;
}

// Runs inside the Action event after it has been counted.
std::function<void(RTObject*)> duringAction;

void onAction(RTObject* timer) {
  ++firings()[timer];
  if (duringAction) duringAction(timer);
}

// A subclass of Timer that implements Action, as a compiled subclass does.
ClassRecord* countingTimerClass() {
  static ClassRecord* const cls = [] {
    ClassRecord* timer = objects::classFor(console::timerClass);
    ClassRecord* record =
        RuntimeNewClass(timer, timer->methodCount, 0, timer->eventCount, 0, timer->propertyCount);
    record->name = String("CountingTimer").leak();
    record->instanceSize = timer->instanceSize;
    record->events[console::timerActionEvent.number].handler = reinterpret_cast<void*>(&onAction);
    return record;
  }();
  return cls;
}

int performed = 0;

void performAction(RTObject*) { ++performed; }

// A class implementing ActionNotificationReceiver.
ClassRecord* receiverClass() {
  static ClassRecord* const cls = [] {
    static MethodEntry table[] = {{reinterpret_cast<void*>(&performAction), nullptr}};
    ClassRecord* record = RuntimeNewClass(nullptr, 0, 1, 0, 0, 0);
    record->name = String("Listener").leak();
    record->instanceSize = sizeof(RTObject);
    ClassRecord* interface = objects::classFor(console::actionNotificationReceiverInterface);
    record->interfaces[0] = {interface, 0, table};
    return record;
  }();
  return cls;
}

std::int32_t field(const Object& timer, std::size_t offset) {
  return intGetter(timer.get(), static_cast<std::intptr_t>(offset));
}

class TimerTest : public ThreadTest {
 protected:
  static void SetUpTestSuite() {
    ThreadTest::SetUpTestSuite();
    countingTimerClass();
    receiverClass();
  }
  void SetUp() override {
    ThreadTest::SetUp();
    firings().clear();
    duringAction = nullptr;
    performed = 0;
  }

  // A new timer with the mode and period given, its period starting now.
  static Object newTimer(std::int32_t mode, std::int32_t period) {
    Object timer = newObject(countingTimerClass());
    timerPeriodSetter(timer.get(), period);
    timerModeSetter(timer.get(), mode);
    return timer;
  }

  // One pass at a new clock value, ticks after the last.
  void passAfter(std::int32_t ticks) {
    clock.advanceTicks(ticks);
    console::fireDueTimers();
    throwIfPending();
  }

  ManualClock clock;
};

TEST_F(TimerTest, AMultipleModeTimerFiresEachTimeMoreThanItsPeriodHasPassed) {
  Object timer = newTimer(console::kTimerMultiple, 100);
  struct Step {
    std::int32_t ticks;
    int fired;  // in total after the pass
  };
  // 6 ticks are 100 ms, not more than the period; 7 ticks are 116 ms.
  const Step steps[] = {{6, 0}, {1, 1}, {6, 1}, {1, 2}, {60, 3}};
  for (const Step& step : steps) {
    passAfter(step.ticks);
    EXPECT_EQ(firings()[timer.get()], step.fired) << "after " << step.ticks << " more ticks";
  }
}

TEST_F(TimerTest, ASingleModeTimerFiresOnceAndTurnsItsModeOff) {
  Object timer = newTimer(console::kTimerSingle, 50);
  passAfter(4);
  EXPECT_EQ(firings()[timer.get()], 1);
  EXPECT_EQ(field(timer, offsetof(TimerObject, mode)), console::kTimerOff);
  passAfter(ManualClock::ticksFor(1000));
  EXPECT_EQ(firings()[timer.get()], 1);
}

TEST_F(TimerTest, APeriodBelowOneStoresOneAndAChangedPeriodKeepsItsStart) {
  Object timer = newTimer(console::kTimerMultiple, 100);
  const std::int32_t started = field(timer, offsetof(TimerObject, lastFire));
  clock.advanceTicks(3);
  const std::pair<std::int32_t, std::int32_t> cases[] = {{0, 1}, {-7, 1}, {250, 250}};
  for (const auto& [value, stored] : cases) {
    timerPeriodSetter(timer.get(), value);
    EXPECT_EQ(field(timer, offsetof(TimerObject, period)), stored) << value;
  }
  EXPECT_EQ(field(timer, offsetof(TimerObject, lastFire)), started);
}

TEST_F(TimerTest, TwoPassesWithinOneClockValueFireOnce) {
  Object timer = newTimer(console::kTimerMultiple, 1);
  passAfter(1);
  console::fireDueTimers();
  EXPECT_EQ(firings()[timer.get()], 1);
}

TEST_F(TimerTest, DisabledTimersWaitAndEnablingOrResettingRestartsThePeriod) {
  Object timer = newTimer(console::kTimerMultiple, 100);
  TimerEnabledSetter(timer.get(), 0);
  passAfter(60);
  EXPECT_EQ(firings()[timer.get()], 0);
  TimerEnabledSetter(timer.get(), 1);
  passAfter(6);
  EXPECT_EQ(firings()[timer.get()], 0) << "the period started again when it was enabled";
  RuntimeTimerReset(timer.get());
  passAfter(6);
  EXPECT_EQ(firings()[timer.get()], 0) << "the period started again at the reset";
  passAfter(1);
  EXPECT_EQ(firings()[timer.get()], 1);
}

TEST_F(TimerTest, HeldTimersFireOnlyAfterTheirRelease) {
  Object timer = newTimer(console::kTimerMultiple, 100);
  console::holdTimers();
  passAfter(60);
  EXPECT_EQ(firings()[timer.get()], 0);
  console::releaseTimers();
  passAfter(1);
  EXPECT_EQ(firings()[timer.get()], 1);
}

TEST_F(TimerTest, TheTimeUntilTheNextFiringComesFromTheLastPass) {
  EXPECT_EQ(console::millisecondsUntilNextTimer(), console::kNoTimerWait);
  {
    Object timer = newTimer(console::kTimerMultiple, 1000);
    EXPECT_EQ(console::millisecondsUntilNextTimer(), 0)
        << "a mode set now is looked at by the next pass";
    passAfter(6);
    EXPECT_EQ(console::millisecondsUntilNextTimer(), 900);
  }
  EXPECT_EQ(console::millisecondsUntilNextTimer(), console::kNoTimerWait);
}

TEST_F(TimerTest, AnActionThatDestroysItsTimerEndsThePass) {
  Object older = newTimer(console::kTimerMultiple, 1);
  Object newer = newTimer(console::kTimerMultiple, 1);
  duringAction = [&](RTObject* timer) {
    if (timer == newer.get()) newer = Object();
  };
  RTObject* destroyed = newer.get();
  passAfter(1);
  EXPECT_EQ(firings()[destroyed], 1);
  EXPECT_EQ(firings()[older.get()], 0) << "the newest timer comes first; the pass ended with it";
  passAfter(1);
  EXPECT_EQ(firings()[older.get()], 1);
}

TEST_F(TimerTest, AnExceptionFromAnActionIsLeftPendingAndEndsThePass) {
  Object older = newTimer(console::kTimerMultiple, 1);
  Object newer = newTimer(console::kTimerMultiple, 1);
  duringAction = [](RTObject*) {
    exceptions::raise(exceptions::outOfBoundsException);
    throwIfPending();
  };
  clock.advanceTicks(1);
  console::fireDueTimers();
  EXPECT_THROW(throwIfPending(), Exception);
  EXPECT_EQ(firings()[newer.get()], 1);
  EXPECT_EQ(firings()[older.get()], 0);
}

TEST_F(TimerTest, ReceiversAreToldOfEveryFiringUntilRemoved) {
  Object timer = newTimer(console::kTimerMultiple, 1);
  Object listener = newObject(receiverClass());
  TimerAddActionNotificationReceiver(timer.get(), listener.get());
  TimerAddActionNotificationReceiver(timer.get(), listener.get());
  throwIfPending();
  EXPECT_EQ(listener->refCount, 2) << "listed once, with the timer's reference";
  passAfter(1);
  EXPECT_EQ(performed, 1);
  TimerRemoveActionNotificationReceiver(timer.get(), listener.get());
  passAfter(1);
  EXPECT_EQ(performed, 1);
  EXPECT_EQ(firings()[timer.get()], 2);
  EXPECT_EQ(listener->refCount, 1);

  Object plain = newObject(countingTimerClass());
  TimerAddActionNotificationReceiver(timer.get(), plain.get());
  try {
    throwIfPending();
    ADD_FAILURE() << "an object without the interface was listed";
  } catch (const Exception& e) {
    EXPECT_EQ(e.className(), "IllegalCastException");
  }
}

TEST_F(TimerTest, ATimerReleasedWithItsReceiversLetsGoOfThem) {
  Object listener = newObject(receiverClass());
  {
    Object timer = newTimer(console::kTimerMultiple, 1);
    TimerAddActionNotificationReceiver(timer.get(), listener.get());
  }
  EXPECT_EQ(listener->refCount, 1);
  passAfter(1);
  EXPECT_EQ(performed, 0);
}

// On another thread, event processing is only a switch to the next thread.
TEST_F(TimerTest, TimersAndBackgroundTasksRunInEventProcessingOnTheMainThreadOnly) {
  Object timer = newTimer(console::kTimerMultiple, 1);
  int passes = 0;
  const auto task = console::addBackgroundTask([&] { ++passes; }, 0);
  clock.advanceTicks(1);
  Object thread = makeThread([] { RuntimeDoEvents(nullptr, -1); });
  run(thread);
  finish(thread);
  EXPECT_EQ(firings()[timer.get()], 0);
  EXPECT_EQ(passes, 0);
  RuntimeDoEvents(nullptr, -1);
  console::removeBackgroundTask(task);
  throwIfPending();
  EXPECT_EQ(firings()[timer.get()], 1);
  EXPECT_EQ(passes, 1);
}

}  // namespace
}  // namespace rt::test
