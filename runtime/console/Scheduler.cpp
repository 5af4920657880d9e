#include "console/Scheduler.h"

#include "console/ThreadObjects.h"
#include "console/ThreadScheduler.h"

namespace rt::console {
namespace {

bool cooperativeOnMainThread() { return ThreadScheduler::instance().onMainThread(); }

void cooperativeYield() { ThreadScheduler::instance().switchThreads(); }

void cooperativeSleep(std::int32_t milliseconds) {
  ThreadScheduler& threads = ThreadScheduler::instance();
  threads.sleep(threads.current(), milliseconds, false);
}

RTObject* cooperativeCurrentThread() {
  RTObject* thread = ThreadScheduler::instance().current()->thread;
  RuntimeLockObject(thread);
  return thread;
}

Scheduler current{&cooperativeOnMainThread, &cooperativeYield, &cooperativeSleep, &killOtherThreads,
                  &cooperativeCurrentThread};

}  // namespace

void installScheduler(const Scheduler& scheduler) { current = scheduler; }

const Scheduler& scheduler() { return current; }

ThreadRecord& mainThreadRecord() { return ThreadScheduler::instance().mainThread(); }

}  // namespace rt::console
