// The scheduler's record of one running cooperative thread. The main thread's
// record lives for the whole process; any other exists from Thread.Run until
// the thread has ended and another thread has switched in after it.
#pragma once

#include <condition_variable>
#include <cstdint>

#include "objects/ObjectModel.h"

namespace rt::console {

// The state bits of a record.
inline constexpr std::uint32_t kStateSuspended = 1;
inline constexpr std::uint32_t kStateSleeping = 2;
inline constexpr std::uint32_t kStateWaiting = 4;
inline constexpr std::uint32_t kStateFinished = 8;

inline constexpr std::int32_t kNormalPriority = 5;

struct ThreadRecord {
  // The stack budget of the thread and the top it is measured from.
  std::uintptr_t stackLimit = 0;
  std::uintptr_t stackTop = 0;
  RTObject* thread = nullptr;  // counted; null for the main thread
  ThreadRecord* next = nullptr;  // the list of all threads, newest first
  std::uint32_t wakeTime = 0;
  std::uint32_t sleepStart = 0;
  std::int32_t suspendCount = 0;  // above 0 the thread cannot be scheduled
  std::int32_t priority = kNormalPriority;  // its number of ready entries
  std::uint8_t wakeEarly = 0;
  std::uint8_t killed = 0;
  std::uint32_t state = 0;
  // Signalled when the baton passes to this thread.
  std::condition_variable turn;
};

// Whether a sleep is still running at now. A thread that is chosen loses its
// sleeping bit, so a sleep cut short by waking early ends there. Wake time and
// start are compared by wrapping differences, so a sleep across the wrap of
// the clock lasts its full length.
inline bool isSleeping(const ThreadRecord& record, std::uint32_t now) {
  if ((record.state & kStateSleeping) == 0) return false;
  return now - record.sleepStart < record.wakeTime - record.sleepStart;
}

}  // namespace rt::console
