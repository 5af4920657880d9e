// Entry points of the Timer class. Arguments are borrowed; a nil timer raises
// NilObjectException, except where a line below says otherwise.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"

#ifdef __cplusplus
extern "C" {
#endif

// Period 1000, enabled, the period starting now; the timer joins the list of
// timers (once). The Timer class's initializer. Nil is reported.
void RuntimeTimerConstructor(RTObject* timer);
// Takes the timer out of the list; nil is ignored.
void RuntimeTimerDestructor(RTObject* timer);
// Each restarts the period.
void TimerEnabledSetter(RTObject* timer, uint8_t value);
void timerModeSetter(RTObject* timer, int32_t value);
// Values below 1 store 1; the period running goes on.
void timerPeriodSetter(RTObject* timer, int32_t value);
// Restarts the period; nil is reported.
void RuntimeTimerReset(RTObject* timer);
// Add or remove an ActionNotificationReceiver told of every firing; the timer
// keeps a reference to each receiver it lists.
void TimerAddActionNotificationReceiver(RTObject* timer, RTObject* receiver);
void TimerRemoveActionNotificationReceiver(RTObject* timer, RTObject* receiver);

#ifdef __cplusplus
}
#endif
