// The baton: one process-wide mutex that only the current thread holds while
// it runs runtime or compiled code. A thread that passes the baton names its
// successor and waits on its own condition variable until the baton is passed
// back to it; every other operating-system thread sleeps in such a wait. The
// successor is chosen before the hand-over, so the thread that runs next is
// always the chosen one, and nobody spins.
#pragma once

#include <mutex>

#include "console/ThreadRecord.h"

namespace rt::console {

class Baton {
 public:
  // The thread that holds the baton; read by the holder only.
  ThreadRecord* holder() const { return holder_; }

  // Takes the baton for the first thread (the main thread, at start-up).
  void takeFirst(ThreadRecord* first);
  // A new operating-system thread waits until the baton is passed to it.
  void awaitFirstTurn(ThreadRecord* self);
  // The holder passes the baton to next (null: to nobody, which leaves every
  // thread waiting) and returns when it has come back to self.
  void pass(ThreadRecord* self, ThreadRecord* next);
  // The holder passes the baton and gives it up for good: its thread ends.
  void leave(ThreadRecord* next);

 private:
  void handTo(ThreadRecord* next);

  std::mutex mutex_;
  ThreadRecord* holder_ = nullptr;
};

}  // namespace rt::console
