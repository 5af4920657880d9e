#include <algorithm>
#include <array>
#include <cstddef>

#include "console/SchedulerClock.h"
#include "console/Timer.h"
#include "console/TimerApi.h"
#include "host/FailureReport.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/FieldAccessors.h"

namespace rt::console {
namespace {

constexpr const char* kSourceFile = "../Common/RunTimer";

TimerObject* fields(RTObject* timer) { return reinterpret_cast<TimerObject*>(timer); }

// The fields of a timer given to a setter; null after raising for nil.
TimerObject* setterFields(RTObject* timer) {
  if (timer == nullptr) RaiseNilObjectException();
  return fields(timer);
}

// The period starts again now, and the next pass looks at the timer.
void restartPeriod(TimerObject* timer) {
  const std::int32_t now = timerMilliseconds();
  timer->lastFire = now;
  setTimerHint(now);
}

void finalizeTimer(RTObject* timer) {
  RuntimeTimerDestructor(timer);
  auto*& receivers = fields(timer)->receivers;
  if (receivers == nullptr) return;
  for (RTObject* receiver : *receivers) RuntimeUnlockObject(receiver);
  delete receivers;
  receivers = nullptr;
}

template <class Function>
void* entry(Function* function) {
  return reinterpret_cast<void*>(function);
}

const std::array kTimerMethods{
    MethodDefinition{"Reset%%o<Timer>", entry(&RuntimeTimerReset)},
    MethodDefinition{"AddActionNotificationReceiver%%o<Timer>o<ActionNotificationReceiver>",
                     entry(&TimerAddActionNotificationReceiver)},
    MethodDefinition{"RemoveActionNotificationReceiver%%o<Timer>o<ActionNotificationReceiver>",
                     entry(&TimerRemoveActionNotificationReceiver)},
};

const std::array kTimerProperties{
    PropertyDefinition{"Mode", entry(&intGetter), entry(&timerModeSetter),
                       offsetof(TimerObject, mode)},
    PropertyDefinition{"Period", entry(&intGetter), entry(&timerPeriodSetter),
                       offsetof(TimerObject, period)},
    PropertyDefinition{"Enabled", entry(&boolGetter), entry(&TimerEnabledSetter),
                       offsetof(TimerObject, enabled)},
};

std::array timerEvents{
    EventDefinition{"Action", "", ""},
};

const std::array kReceiverMethods{
    MethodDefinition{"PerformAction%%o<ActionNotificationReceiver>", nullptr},
};

}  // namespace

EventDefinition& timerActionEvent = timerEvents[0];

const ClassDefinition timerClass{"Timer", nullptr, sizeof(TimerObject), &RuntimeTimerConstructor,
                                 &finalizeTimer, kTimerMethods, kTimerProperties, timerEvents};
const ClassDefinition actionNotificationReceiverInterface{
    "ActionNotificationReceiver", nullptr, sizeof(RTObject), nullptr, nullptr, kReceiverMethods,
    {}, {}, true};

void registerTimerClasses() {
  objects::registerClassDefinition(timerClass);
  objects::registerClassDefinition(actionNotificationReceiverInterface);
}

}  // namespace rt::console

using namespace rt::console;

extern "C" {

void RuntimeTimerConstructor(RTObject* timer) {
  if (timer == nullptr) {
    rt::reportAssertion(kSourceFile, __LINE__, "obj");
    return;
  }
  TimerObject* t = fields(timer);
  t->period = 1000;
  t->enabled = 1;
  t->lastFire = timerMilliseconds();
  linkTimer(timer);
  setTimerHint(t->lastFire);
}

void RuntimeTimerDestructor(RTObject* timer) {
  if (timer != nullptr) unlinkTimer(timer);
}

void TimerEnabledSetter(RTObject* timer, uint8_t value) {
  if (TimerObject* t = setterFields(timer)) {
    t->enabled = value;
    restartPeriod(t);
  }
}

void timerModeSetter(RTObject* timer, int32_t value) {
  if (TimerObject* t = setterFields(timer)) {
    t->mode = value;
    restartPeriod(t);
  }
}

void timerPeriodSetter(RTObject* timer, int32_t value) {
  if (TimerObject* t = setterFields(timer)) t->period = std::max(value, 1);
}

void RuntimeTimerReset(RTObject* timer) {
  if (timer == nullptr) {
    rt::reportAssertion(kSourceFile, __LINE__, "obj");
    return;
  }
  fields(timer)->lastFire = timerMilliseconds();
}

void TimerAddActionNotificationReceiver(RTObject* timer, RTObject* receiver) {
  TimerObject* t = setterFields(timer);
  if (t == nullptr) return;
  // Only objects that implement the interface are listed.
  ClassRecord* interface = rt::objects::classFor(actionNotificationReceiverInterface);
  if (RuntimeLookupInterfaceVtable(receiver, interface) == nullptr) return;
  if (t->receivers == nullptr) t->receivers = new std::vector<RTObject*>;
  auto& receivers = *t->receivers;
  if (std::find(receivers.begin(), receivers.end(), receiver) != receivers.end()) return;
  RuntimeLockObject(receiver);
  receivers.push_back(receiver);
}

void TimerRemoveActionNotificationReceiver(RTObject* timer, RTObject* receiver) {
  TimerObject* t = setterFields(timer);
  if (t == nullptr || t->receivers == nullptr) return;
  auto listed = std::find(t->receivers->begin(), t->receivers->end(), receiver);
  if (listed == t->receivers->end()) return;
  t->receivers->erase(listed);
  RuntimeUnlockObject(receiver);
}

}  // extern "C"
