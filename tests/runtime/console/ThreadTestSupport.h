// What the thread, lock and timer tests share: threads whose Run event runs a
// C++ function, a clock the test moves by hand, and a fixture that records
// the exceptions that leave a thread's Run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "console/SchedulerClock.h"
#include "objects/ObjectHandle.h"
#include "support/RuntimeFixture.h"

namespace rt::test {

// A stack large enough for test bodies that use the test framework, also
// under the sanitizers.
inline constexpr std::int32_t kTestStackSize = 1 << 20;

// A new Thread object (of a subclass whose Run event calls body, with the
// thread itself when body takes it); not started.
Object makeThread(std::function<void(RTObject* self)> body,
                  std::int32_t stackSize = kTestStackSize);
Object makeThread(std::function<void()> body, std::int32_t stackSize = kTestStackSize);
// Starts the thread (Thread.Run); throws what Run raised.
void run(const Object& thread);
// Yields until the thread no longer runs.
void finish(const Object& thread);
// The thread's State.
std::int32_t stateOf(const Object& thread);

// Replaces the scheduler clock while it lives: the test moves the ticks, and
// a pause advances them by the milliseconds asked for instead of waiting. The
// clock starts at a whole number of milliseconds, so 6 ticks from the start
// are exactly 100 ms and 7 ticks 116 ms.
class ManualClock {
 public:
  ManualClock();
  ~ManualClock();
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;

  void advanceTicks(std::int32_t ticks);
  // The ticks to add so that the clock moves on by at least milliseconds.
  static std::int32_t ticksFor(std::uint32_t milliseconds);

 private:
  console::ClockSource saved_;
};

// Class names of the exceptions that left a thread's Run in this test, in order.
std::vector<std::string>& unhandledExceptions();

class ThreadTest : public RuntimeTest {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;
};

}  // namespace rt::test
