// Cooperative threads on operating-system threads of their own: starting and
// ending, the scheduler's rounds, sleeping, suspending, killing, the
// properties and the per-thread stack budget.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "ThreadTestSupport.h"
#include "console/ConsoleApi.h"
#include "console/Scheduler.h"
#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "console/ThreadScheduler.h"
#include "host/HostApi.h"
#include "host/IntrinsicTable.h"
#include "objects/ExceptionClasses.h"
#include "objects/ExceptionHandle.h"
#include "support/ProcessRunner.h"

namespace rt::test {
namespace {

using console::ThreadState;

constexpr std::int32_t state(ThreadState s) { return static_cast<std::int32_t>(s); }

// A thread that yields until told to stop, so it is still running whenever
// the main thread gets its turn.
struct Spinner {
  bool stop = false;
  Object thread = makeThread([this] {
    while (!stop) {
      YieldToNextThread();
      throwIfPending();
    }
  });
  ~Spinner() {
    stop = true;
    finish(thread);
  }
};

std::size_t readyEntriesOf(const Object& thread) {
  const auto* record = reinterpret_cast<console::ThreadRecord*>(ThreadGetID(thread.get()));
  std::size_t count = 0;
  for (const console::ReadyEntry& entry : console::ThreadScheduler::instance().ready().entries()) {
    count += entry.record == record;
  }
  return count;
}

TEST_F(ThreadTest, RunStartsTheThreadAtOnceAndItsRecordGoesWhenRunReturns) {
  std::vector<std::string> log;
  Object thread = makeThread([&](RTObject* self) {
    log.push_back("thread");
    EXPECT_FALSE(console::scheduler().onMainThread());
    EXPECT_EQ(ThreadGetState(self), state(ThreadState::Running));
    EXPECT_NE(ThreadGetID(self), 0);
    EXPECT_EQ(Object::adopt(TOLVGetCurrentThread()).get(), self);
  });
  EXPECT_EQ(stateOf(thread), state(ThreadState::NotRunning));
  log.push_back("before");
  run(thread);
  log.push_back("after");
  EXPECT_EQ(log, (std::vector<std::string>{"before", "thread", "after"}));
  EXPECT_EQ(stateOf(thread), state(ThreadState::NotRunning));
  EXPECT_EQ(ThreadGetID(thread.get()), 0);
  EXPECT_EQ(thread->refCount, 1) << "the ended thread let go of its object";
  EXPECT_TRUE(console::scheduler().onMainThread());
  EXPECT_EQ(TOLVGetCurrentThread(), nullptr);
  EXPECT_TRUE(unhandledExceptions().empty());
}

TEST_F(ThreadTest, RunOnARunningThreadRaisesThreadAlreadyRunning) {
  Spinner spinner;
  run(spinner.thread);
  try {
    run(spinner.thread);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.className(), "ThreadAlreadyRunningException");
    EXPECT_EQ(e.message(), "You cannot call Run on a thread that is already running.");
  }
}

TEST_F(ThreadTest, BetweenTwoTurnsOfAPriorityOneThreadAPriorityFiveThreadRunsFiveTimes) {
  std::string log;
  Object one = makeThread([&] {
    for (int i = 0; i < 7; ++i) {
      log += '1';
      YieldToNextThread();
    }
  });
  Object five = makeThread([&] {
    for (int i = 0; i < 60; ++i) {
      log += '5';
      YieldToNextThread();
    }
  });
  ThreadSetPriority(one.get(), console::kLowestPriority);
  run(one);
  run(five);
  finish(one);
  finish(five);
  std::vector<std::size_t> turns;
  for (std::size_t at = log.find('1'); at != std::string::npos; at = log.find('1', at + 1)) {
    turns.push_back(at);
  }
  ASSERT_EQ(turns.size(), 7u) << log;
  // Up to two turns come before the other thread exists and one in the round
  // it joins, whose entries were used before; from the fourth turn on every
  // round holds both threads from its start.
  for (std::size_t i = 4; i < turns.size(); ++i) {
    EXPECT_EQ(turns[i] - turns[i - 1] - 1, 5u) << "after turn " << i << " of " << log;
  }
}

TEST_F(ThreadTest, ASleepingThreadRunsAgainAtItsWakeTime) {
  ManualClock clock;
  std::vector<std::string> log;
  Object sleeper = makeThread([&](RTObject* self) {
    log.push_back("sleeps");
    ThreadSleep(self, 500, 0);
    throwIfPending();
    log.push_back("woke");
  });
  run(sleeper);
  EXPECT_EQ(stateOf(sleeper), state(ThreadState::Sleeping));
  YieldToNextThread();
  clock.advanceTicks(29);  // 483 ms
  YieldToNextThread();
  EXPECT_EQ(log, std::vector<std::string>{"sleeps"});
  clock.advanceTicks(1);
  finish(sleeper);
  EXPECT_EQ(log, (std::vector<std::string>{"sleeps", "woke"}));
}

TEST_F(ThreadTest, TheMainThreadAloneSleepsOnTheClock) {
  ManualClock clock;
  const std::uint32_t before = console::schedulerMilliseconds();
  RuntimeDoEvents(nullptr, 250);
  EXPECT_GE(console::schedulerMilliseconds() - before, 250u);
  EXPECT_LT(console::schedulerMilliseconds() - before, 250u + 17u);
}

TEST_F(ThreadTest, ASuspendedThreadRunsAgainOnlyAfterResume) {
  std::vector<std::string> log;
  Object thread = makeThread([&](RTObject* self) {
    log.push_back("suspends");
    ThreadSuspend(self);
    log.push_back("resumed");
  });
  run(thread);
  EXPECT_EQ(stateOf(thread), state(ThreadState::Suspended));
  for (int i = 0; i < 12; ++i) YieldToNextThread();
  EXPECT_EQ(log, std::vector<std::string>{"suspends"});
  ThreadResume(thread.get());
  ThreadResume(thread.get());  // the count does not go below 0
  EXPECT_EQ(stateOf(thread), state(ThreadState::Running));
  finish(thread);
  EXPECT_EQ(log, (std::vector<std::string>{"suspends", "resumed"}));
}

// A sleeping thread killed by another, and a thread that kills itself, end
// through ThreadEndException at once; Kill returns once the thread has ended.
TEST_F(ThreadTest, AKilledThreadEndsThroughThreadEndException) {
  std::vector<std::string> log;
  const auto killed = [&log](bool byItself) {
    return makeThread([&log, byItself](RTObject* self) {
      if (byItself)
        ThreadKill(self);
      else
        ThreadSleep(self, 3600 * 1000, 0);
      try {
        throwIfPending();
      } catch (const Exception& e) {
        log.push_back(e.className());
        throw;
      }
      log.push_back("went on");
    });
  };
  Object itself = killed(true);
  run(itself);
  EXPECT_EQ(stateOf(itself), state(ThreadState::NotRunning));
  Object sleeper = killed(false);
  run(sleeper);
  ASSERT_EQ(stateOf(sleeper), state(ThreadState::Sleeping));
  ThreadKill(sleeper.get());
  throwIfPending();
  EXPECT_EQ(stateOf(sleeper), state(ThreadState::NotRunning));
  const std::vector<std::string> ended(2, "ThreadEndException");
  EXPECT_EQ(log, ended);
  EXPECT_EQ(unhandledExceptions(), ended);
}

TEST_F(ThreadTest, KillAllEndsEveryOtherThread) {
  Spinner spinner;
  Object sleeper = makeThread([](RTObject* self) {
    ThreadSleep(self, 3600 * 1000, 0);
    throwIfPending();
  });
  run(spinner.thread);
  run(sleeper);
  console::scheduler().killThreads();
  EXPECT_EQ(stateOf(spinner.thread), state(ThreadState::NotRunning));
  EXPECT_EQ(stateOf(sleeper), state(ThreadState::NotRunning));
  EXPECT_EQ(unhandledExceptions(),
            (std::vector<std::string>{"ThreadEndException", "ThreadEndException"}));
}

TEST_F(ThreadTest, AnExceptionLeavingRunIsUnhandled) {
  Object thread = makeThread([] {
    exceptions::raise(exceptions::outOfBoundsException);
    throwIfPending();
  });
  run(thread);
  EXPECT_EQ(exceptions::pending(), nullptr) << "it stays on the thread that raised it";
  EXPECT_EQ(unhandledExceptions(), std::vector<std::string>{"OutOfBoundsException"});
}

TEST_F(ThreadTest, PriorityAndStackSizeFollowTheirRules) {
  Spinner spinner;
  const RTObject* thread = spinner.thread.get();
  EXPECT_EQ(ThreadGetPriority(spinner.thread.get()), console::kNormalPriority);
  ThreadSetPriority(spinner.thread.get(), 0);
  EXPECT_EQ(ThreadGetPriority(spinner.thread.get()), console::kNormalPriority)
      << "below 1 is ignored";
  ThreadSetPriority(spinner.thread.get(), 3);
  run(spinner.thread);
  EXPECT_EQ(readyEntriesOf(spinner.thread), 3u);
  for (std::int32_t priority : {7, 1, console::kHighPriority}) {
    ThreadSetPriority(spinner.thread.get(), priority);
    EXPECT_EQ(readyEntriesOf(spinner.thread), static_cast<std::size_t>(priority));
  }
  ThreadSetStackSize(spinner.thread.get(), 1 << 21);
  EXPECT_THROW(throwIfPending(), Exception);
  EXPECT_EQ(ThreadGetStackSize(spinner.thread.get()), kTestStackSize);
  EXPECT_EQ(thread->refCount, 2) << "the running thread holds its object";
}

TEST_F(ThreadTest, ADefaultStackIsEnoughForAPlainThread) {
  bool ran = false;
  Object thread = makeThread([&] { ran = true; }, 0);
  run(thread);
  EXPECT_TRUE(ran);
  EXPECT_EQ(ThreadGetStackSize(thread.get()), 0);
}

// A kilobyte per frame uses the budget up quickly.
int recurse(int depth) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  RuntimeStackCheck();
  throwIfPending();
  // The depth limit only keeps a broken check from crashing the test.
  if (depth > 100000) return depth;
  return recurse(depth + 1) + frame[0];
}

TEST_F(ThreadTest, EachThreadHasAStackBudgetOfItsOwnStackSize) {
  constexpr std::int32_t kSize = 512 * 1024;
  const std::uintptr_t mainLimit = TOLVGetStackLimit();
  std::uintptr_t top = 0, limit = 0;
  std::string caught;
  const auto body = [&] {
    top = TOLVGetStackTop();
    limit = TOLVGetStackLimit();
    try {
      recurse(0);
    } catch (const Exception& e) {
      caught = e.className();
    }
  };
  Object thread = makeThread(body, kSize);
  run(thread);
#if defined(__SANITIZE_THREAD__)
  // ThreadSanitizer's thread state takes most of a thread's stack: the budget
  // is what is left.
  EXPECT_LE(top - limit, static_cast<std::uintptr_t>(kSize));
#else
  EXPECT_EQ(top - limit, static_cast<std::uintptr_t>(kSize));
#endif
  EXPECT_EQ(caught, "StackOverflowException");
  EXPECT_EQ(TOLVGetStackLimit(), mainLimit);
  EXPECT_NE(console::mainThreadRecord().stackTop, top);
}

TEST(ThreadEntryPoints, EveryEntryPointIsListedUnderItsName) {
  const char* const names[] = {
      // threads
      "threadRun", "YieldToNextThread", "ThreadSleep", "ThreadSuspend", "ThreadResume",
      "ThreadKill", "ThreadGetPriority", "ThreadSetPriority", "ThreadGetStackSize",
      "ThreadSetStackSize", "ThreadGetID", "ThreadGetState", "TOLVGetCurrentThread",
      "ThreadInitializer",
      // locks
      "SemaphoreInitializer", "Semaphore_Constructor", "Semaphore_Signal", "Semaphore_TrySignal",
      "semaphore_release", "CriticalSectionInitializer", "criticalsection_enter",
      "CriticalSection_TryEnter", "criticalsection_leave", "MutexContructor", "MutexLock",
      "MutexTryLock", "MutexUnlock",
      // timers
      "RuntimeTimerConstructor", "RuntimeTimerDestructor", "TimerEnabledSetter", "timerModeSetter",
      "timerPeriodSetter", "RuntimeTimerReset", "TimerAddActionNotificationReceiver",
      "TimerRemoveActionNotificationReceiver"};
  for (const char* name : names) EXPECT_NE(intrinsics::lookup(name), nullptr) << name;
}

ProcessResult runProbe(const std::string& mode, const std::string& signalMarker = "") {
  ProcessLaunch launch;
  launch.program = THREAD_PROBE;
  launch.arguments = {THREAD_PROBE, mode};
  launch.signalMarker = signalMarker;
  launch.signalNumber = SIGTERM;
  return runProcess(launch);
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(ThreadProcess, WhenEveryThreadWaitsTheSchedulerReportsItOnceAndNothingRunsAgain) {
  const std::string detail =
      "Infinite loop detected in the thread scheduler.  This is likely caused by incorrectly "
      "locking resources with semaphores or critical sections.";
  // The report is the last thing the probe does: the test ends it with a signal.
  const ProcessResult result = runProbe("all-waiting", detail);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.out.rfind("both wait\n", 0), 0u) << result.out;
  EXPECT_EQ(occurrences(result.out, detail), 1u) << result.out;
  EXPECT_NE(result.out.find("../Common/ClassLib/RuntimeThread"), std::string::npos);
  EXPECT_NE(result.out.find("Failure Condition: false\n"), std::string::npos);
  EXPECT_EQ(result.out.find("went on"), std::string::npos) << result.out;
}

TEST(ThreadProcess, QuitKillsEveryThreadBeforeRunEnds) {
  const ProcessResult result = runProbe("quit");
  EXPECT_TRUE(result.exited);
  // Newest first: the sleeper started after the waiter.
  EXPECT_EQ(result.out,
            "quitting\n"
            "sleeper ended by ThreadEndException\n"
            "waiter ended by ThreadEndException\n"
            "exit=3\n");
  EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace rt::test
