// The choice of the next thread, on records without operating-system threads.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "console/ReadyArray.h"

namespace rt::console {
namespace {

constexpr std::uint32_t kNow = 100000;

void sleepUntil(ThreadRecord& record, std::uint32_t start, std::uint32_t wake,
                bool wakeEarly = false) {
  record.sleepStart = start;
  record.wakeTime = wake;
  record.wakeEarly = wakeEarly;
  record.state |= kStateSleeping;
}

ThreadRecord* chosen(ReadyArray& ready, std::uint32_t now = kNow) {
  const Choice choice = ready.choose(now);
  EXPECT_EQ(choice.kind, Choice::Kind::Chosen);
  return choice.record;
}

TEST(ReadyArray, ARoundServesEveryThreadAsOftenAsItsPriority) {
  ThreadRecord five, one;
  ReadyArray ready;
  ready.add(&five, 5);
  ready.add(&one, 1);
  const std::map<ThreadRecord*, char> name{{&five, '5'}, {&one, '1'}};
  std::string order;
  for (int i = 0; i < 18; ++i) order += name.at(chosen(ready));
  // New entries are in front, so the newer thread opens every round.
  EXPECT_EQ(order, "155555155555155555");
}

TEST(ReadyArray, SleepingThreadsAreSkippedUntilTheirWakeTime) {
  ThreadRecord sleeper, worker;
  ReadyArray ready;
  ready.add(&worker, 1);
  ready.add(&sleeper, 1);
  sleepUntil(sleeper, kNow - 10, kNow + 50);
  EXPECT_EQ(chosen(ready), &worker);
  EXPECT_EQ(chosen(ready, kNow + 49), &worker);
  EXPECT_EQ(chosen(ready, kNow + 50), &sleeper);
  EXPECT_EQ(sleeper.state, 0u) << "a chosen thread's state bits are cleared";
}

TEST(ReadyArray, AnEarlyWakerBeforeTheFirstUnusedEntryIsTakenInsteadOfIt) {
  ThreadRecord worker, early, late;
  ReadyArray ready;
  ready.add(&late, 1);
  ready.add(&worker, 1);
  ready.add(&early, 1);  // [early, worker, late]
  sleepUntil(early, kNow, kNow + 1000, true);
  sleepUntil(late, kNow, kNow + 1000, true);
  EXPECT_EQ(chosen(ready), &early);
  EXPECT_FALSE(isSleeping(early, kNow)) << "waking early ends the sleep";
  // The early waker behind the first unused entry waits for its time.
  EXPECT_EQ(chosen(ready), &worker);
  EXPECT_EQ(chosen(ready), &early);
  EXPECT_TRUE(isSleeping(late, kNow));
}

TEST(ReadyArray, WithNobodyEligibleTheChoiceWaitsForTheNearestWakeTime) {
  ThreadRecord a, b, held;
  ReadyArray ready;
  ready.add(&a, 1);
  ready.add(&b, 1);
  ready.add(&held, 1);
  sleepUntil(a, kNow, kNow + 300);
  sleepUntil(b, kNow - 100, kNow + 120);
  held.suspendCount = 1;
  sleepUntil(held, kNow, kNow + 5);  // suspended: its wake time does not count
  const Choice choice = ready.choose(kNow);
  EXPECT_EQ(choice.kind, Choice::Kind::Wait);
  EXPECT_EQ(choice.waitMilliseconds, 120u);
}

TEST(ReadyArray, ALoneThreadIsChosenAtOnceOrAfterItsSleep) {
  ThreadRecord only;
  ReadyArray ready;
  ready.add(&only, 5);
  EXPECT_EQ(chosen(ready), &only);
  sleepUntil(only, kNow, kNow + 40, true);
  const Choice choice = ready.choose(kNow + 15);
  EXPECT_EQ(choice.kind, Choice::Kind::Wait);
  EXPECT_EQ(choice.waitMilliseconds, 25u);
  EXPECT_EQ(chosen(ready, kNow + 40), &only);
}

TEST(ReadyArray, EveryThreadSuspendedOrWaitingIsTheAllWaitingState) {
  struct Case {
    const char* what;
    std::int32_t firstSuspensions;
    std::int32_t secondSuspensions;  // -1: no second thread
    Choice::Kind expected;
  };
  const Case cases[] = {
      {"both waiting", 1, 1, Choice::Kind::AllWaiting},
      {"one of two waiting", 1, 0, Choice::Kind::Chosen},
      {"a lone thread waiting", 2, -1, Choice::Kind::AllWaiting},
  };
  for (const Case& c : cases) {
    ThreadRecord first, second;
    ReadyArray ready;
    ready.add(&first, 1);
    first.suspendCount = c.firstSuspensions;
    if (c.secondSuspensions >= 0) {
      ready.add(&second, 3);
      second.suspendCount = c.secondSuspensions;
    }
    EXPECT_EQ(ready.choose(kNow).kind, c.expected) << c.what;
  }
}

TEST(ReadyArray, ASleepAcrossTheWrapOfTheClockLastsItsFullLength) {
  ThreadRecord sleeper;
  sleepUntil(sleeper, 0xFFFFFF00u, 0x00000100u);
  EXPECT_TRUE(isSleeping(sleeper, 0xFFFFFF80u));
  EXPECT_TRUE(isSleeping(sleeper, 0x000000FFu));
  EXPECT_FALSE(isSleeping(sleeper, 0x00000100u));
  EXPECT_FALSE(isSleeping(sleeper, 0xFFFFFE00u)) << "before its start, as when the clock wrapped";
}

}  // namespace
}  // namespace rt::console
