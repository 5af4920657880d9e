#include "console/WaitQueue.h"

#include <algorithm>

#include "console/ThreadScheduler.h"

namespace rt::console {

bool WaitQueue::wait() {
  ThreadScheduler& scheduler = ThreadScheduler::instance();
  ThreadRecord* self = scheduler.current();
  waiting_.push_back(self);
  // A Thread.Resume from elsewhere lets a waiting thread run before its turn:
  // it goes back to waiting while it is still in line.
  while (contains(self)) {
    if (self->killed) {
      std::erase(waiting_, self);
      return false;
    }
    ++self->suspendCount;
    self->state |= kStateWaiting;
    scheduler.switchThreads();
  }
  return true;
}

bool WaitQueue::releaseFirst() {
  if (waiting_.empty()) return false;
  ThreadRecord* first = waiting_.front();
  waiting_.pop_front();
  ThreadScheduler::instance().resume(first);
  return true;
}

bool WaitQueue::contains(const ThreadRecord* record) const {
  return std::find(waiting_.begin(), waiting_.end(), record) != waiting_.end();
}

WaitQueue& waitQueue(WaitQueue*& slot) {
  if (slot == nullptr) slot = new WaitQueue;
  return *slot;
}

}  // namespace rt::console
