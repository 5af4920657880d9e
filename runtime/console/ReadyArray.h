// The ready array: a thread of priority p has p entries, each with a flag
// that says whether it was served in the current round. New entries go to the
// front. Choosing walks the array in order, so within one round every thread
// runs at most as many times as its priority.
#pragma once

#include <cstdint>
#include <vector>

#include "console/ThreadRecord.h"

namespace rt::console {

struct ReadyEntry {
  ThreadRecord* record;
  bool used;
};

// The outcome of one choice.
struct Choice {
  enum class Kind {
    Chosen,      // record runs next
    Wait,        // nothing can run before waitMilliseconds have passed
    AllWaiting,  // every thread is suspended or waiting on a lock
  };
  Kind kind;
  ThreadRecord* record = nullptr;
  std::uint32_t waitMilliseconds = 0;
};

class ReadyArray {
 public:
  // Inserts count entries of record at the front.
  void add(ThreadRecord* record, std::int32_t count);
  // Removes up to count of record's entries, the last ones first.
  void remove(ThreadRecord* record, std::int32_t count);
  void removeAll(ThreadRecord* record);

  // Chooses the thread to run next at clock value now; a chosen thread's
  // entry is marked used and its state bits are cleared.
  Choice choose(std::uint32_t now);

  const std::vector<ReadyEntry>& entries() const { return entries_; }

 private:
  bool onlyOneThread() const;
  bool everyThreadHeld() const;
  std::uint32_t nearestWake(std::uint32_t now) const;
  Choice take(std::size_t index);

  std::vector<ReadyEntry> entries_;
};

}  // namespace rt::console
