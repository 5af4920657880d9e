// The Timer class and the timer pass of event processing. Timers are not
// driven by signals: each pass of event processing on the main thread fires
// the timers whose period has run out, so a timer fires late while the
// program is busy.
//
// Invariants:
//  - A Timer is in the list of timers from its construction to its release.
//  - Times are values of the timer clock; differences wrap at 32 bits.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::console {

struct TimerObject {
  RTObject header;
  RTObject* next;  // the list of all timers, newest first
  std::int32_t mode;
  std::int32_t period;  // milliseconds, at least 1
  std::int32_t lastFire;  // when the running period started
  std::uint8_t enabled;
  std::vector<RTObject*>* receivers;  // counted; made on first use
};

inline constexpr std::int32_t kTimerOff = 0;
inline constexpr std::int32_t kTimerSingle = 1;
inline constexpr std::int32_t kTimerMultiple = 2;

// With no firing in sight, event processing may wait this long.
inline constexpr std::int32_t kNoTimerWait = 20000;

extern const ClassDefinition timerClass;
extern const ClassDefinition actionNotificationReceiverInterface;
// Timer: Action, raised at each firing.
extern EventDefinition& timerActionEvent;
using TimerActionHandler = void (*)(RTObject* timer);
// The PerformAction method of an ActionNotificationReceiver.
using PerformActionMethod = void (*)(RTObject* receiver);

void registerTimerClasses();

// The timer step of event processing: fires every due timer once. An
// exception from an action is left pending and ends the pass.
void fireDueTimers();
// Milliseconds until the earliest firing the last pass saw coming.
std::int32_t millisecondsUntilNextTimer();
// While held, no timer fires.
void holdTimers();
void releaseTimers();

// The list of timers, for the entry points of the class.
void linkTimer(RTObject* timer);
void unlinkTimer(RTObject* timer);
// Tells the next pass to look again at its soonest.
void setTimerHint(std::int32_t time);

}  // namespace rt::console
