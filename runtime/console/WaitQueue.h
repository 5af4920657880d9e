// The line of threads waiting for a lock, first come first served. A waiting
// thread is suspended with the waiting bit, so it is not scheduled until a
// release takes it out of the line and resumes it.
#pragma once

#include <deque>

#include "console/ThreadRecord.h"

namespace rt::console {

class WaitQueue {
 public:
  bool empty() const { return waiting_.empty(); }

  // Puts the current thread at the end of the line and switches away until a
  // release has taken it out. False when the thread was killed while it
  // waited: it has left the line and ThreadEndException is pending.
  bool wait();
  // Takes the first thread out of the line and resumes it (without yielding);
  // false when nobody waits.
  bool releaseFirst();

 private:
  bool contains(const ThreadRecord* record) const;

  std::deque<ThreadRecord*> waiting_;
};

// The line of a lock object, made on first use.
WaitQueue& waitQueue(WaitQueue*& slot);

}  // namespace rt::console
