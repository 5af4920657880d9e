#include "console/CompiledCall.h"
#include "console/SchedulerClock.h"
#include "console/Timer.h"
#include "host/FailureReport.h"
#include "objects/ClassRegistry.h"
#include "objects/ObjectHandle.h"
#include "text/StringStorage.h"

namespace rt::console {
namespace {

constexpr const char* kSourceFile = "../Common/RunTimer";

struct TimerState {
  RTObject* head = nullptr;
  std::int32_t lastPass = 0;
  std::int32_t hint = 0;  // the earliest next firing known; 0 for none
  bool held = false;
};

TimerState& timers() {
  static TimerState state;
  return state;
}

TimerObject* fields(RTObject* timer) { return reinterpret_cast<TimerObject*>(timer); }

std::int32_t elapsed(std::int32_t now, std::int32_t then) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(now) -
                                   static_cast<std::uint32_t>(then));
}

std::int32_t later(std::int32_t time, std::int32_t milliseconds) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(time) +
                                   static_cast<std::uint32_t>(milliseconds));
}

bool isListed(const RTObject* timer) {
  for (RTObject* listed = timers().head; listed != nullptr; listed = fields(listed)->next) {
    if (listed == timer) return true;
  }
  return false;
}

// The receiver's PerformAction, found by name in its interface table; null
// when it has none.
PerformActionMethod performAction(RTObject* receiver) {
  ClassRecord* interface = objects::classFor(actionNotificationReceiverInterface);
  MethodEntry* methods = RuntimeLookupInterfaceVtable(receiver, interface);
  if (methods == nullptr) return nullptr;
  for (std::uint32_t i = 0; i < interface->methodCount; ++i) {
    const std::string_view signature = text::bytes(interface->methods[i].signature);
    if (signature.substr(0, signature.find('%')) == "PerformAction") {
      return reinterpret_cast<PerformActionMethod>(methods[i].code);
    }
  }
  return nullptr;
}

// Tells the receivers, then raises Action. False when one of them threw.
bool fire(RTObject* timer) {
  if (timer == nullptr) {
    reportAssertion(kSourceFile, __LINE__, "obj");
    return true;
  }
  // The action may release the timer and its receivers while they run.
  const Object keep(timer);
  std::vector<Object> receivers;
  if (const auto* listed = fields(timer)->receivers) {
    for (RTObject* receiver : *listed) receivers.emplace_back(receiver);
  }
  for (const Object& receiver : receivers) {
    const PerformActionMethod perform = performAction(receiver.get());
    if (perform != nullptr && !callCompiled([&] { perform(receiver.get()); })) return false;
  }
  auto action = reinterpret_cast<TimerActionHandler>(objects::lookupEvent(timer, timerActionEvent));
  return action == nullptr || callCompiled([&] { action(timer); });
}

}  // namespace

void linkTimer(RTObject* timer) {
  if (isListed(timer)) return;
  fields(timer)->next = timers().head;
  timers().head = timer;
}

void unlinkTimer(RTObject* timer) {
  for (RTObject** link = &timers().head; *link != nullptr; link = &fields(*link)->next) {
    if (*link == timer) {
      *link = fields(timer)->next;
      fields(timer)->next = nullptr;
      return;
    }
  }
}

void setTimerHint(std::int32_t time) { timers().hint = time; }

void fireDueTimers() {
  TimerState& state = timers();
  if (state.head == nullptr || state.held) return;
  const std::int32_t now = timerMilliseconds();
  if (now == state.lastPass) return;
  state.lastPass = now;
  state.hint = 0;
  for (RTObject* timer = state.head; timer != nullptr;) {
    TimerObject* t = fields(timer);
    RTObject* next = t->next;
    if (t->enabled && t->mode != kTimerOff) {
      if (elapsed(now, t->lastFire) > t->period) {
        t->lastFire = now;
        if (t->mode == kTimerSingle) t->mode = kTimerOff;
        const bool completed = fire(timer);
        // The action may have destroyed this timer: then the rest waits for the next pass.
        if (!isListed(timer) || !completed) return;
        next = t->next;
      }
      if (t->mode >= kTimerSingle) {
        const std::int32_t due = later(t->lastFire, t->period);
        if (state.hint == 0 || state.hint > due) state.hint = due;
      }
    }
    timer = next;
  }
}

std::int32_t millisecondsUntilNextTimer() {
  const TimerState& state = timers();
  if (state.head == nullptr || state.hint == 0) return kNoTimerWait;
  return elapsed(state.hint, timerMilliseconds());
}

void holdTimers() { timers().held = true; }

void releaseTimers() { timers().held = false; }

}  // namespace rt::console
