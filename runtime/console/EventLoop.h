// Event processing: the background tasks (plugin tasks and pollable objects),
// the timer step and the periodic tasks, run in that order by one pass.
#pragma once

#include <cstdint>
#include <functional>

namespace rt::console {

using TaskAction = std::function<void()>;

// The ticks from then to now. The tick count wraps at 32 bits (after 414 days
// of uptime it turns negative), and so does the difference.
std::int32_t ticksSince(std::int32_t now, std::int32_t then);

// Adds a background task run by event processing once its period (in ticks,
// 0 for every pass) has elapsed; returns its positive id.
std::int32_t addBackgroundTask(TaskAction action, std::int32_t periodTicks);
// Removes a task; unknown ids are ignored. Safe from inside a running task.
void removeBackgroundTask(std::int32_t id);

// Periodic tasks also run at the yield point of compiled loops.
std::int32_t addPeriodicTask(TaskAction action, std::int32_t periodTicks);
void removePeriodicTask(std::int32_t id);

// Installs the step that fires due timers (fireDueTimers unless replaced; null: none).
void setTimerStep(void (*step)());

// One pass of event processing. An exception escaping a task is left pending
// and ends the pass.
void processEvents();

// Whether a pass of event processing is running (its tasks may call back).
bool processingEvents();

// The main-loop call gate: reports a null function instead of calling it.
void callThroughGate(void (*function)());

}  // namespace rt::console
