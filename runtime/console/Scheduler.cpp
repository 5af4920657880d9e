#include "console/Scheduler.h"

#include <cerrno>
#include <ctime>

namespace rt::console {
namespace {

bool alwaysMainThread() { return true; }

// With one thread there is no other thread to switch to or to end.
void noOtherThread() {}

void sleepMainThread(std::int32_t milliseconds) {
  if (milliseconds <= 0) return;
  timespec remaining{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  while (nanosleep(&remaining, &remaining) == -1 && errno == EINTR) {
  }
}

RTObject* mainThreadObject() { return nullptr; }

Scheduler current{&alwaysMainThread, &noOtherThread, &sleepMainThread, &noOtherThread,
                  &mainThreadObject};

}  // namespace

void installScheduler(const Scheduler& scheduler) { current = scheduler; }

const Scheduler& scheduler() { return current; }

MainThreadRecord& mainThreadRecord() {
  static MainThreadRecord record;
  return record;
}

}  // namespace rt::console
