#include "console/EventLoop.h"

#include <vector>

#include "console/CompiledCall.h"
#include "console/ConsoleApi.h"
#include "console/Scheduler.h"
#include "console/Timer.h"
#include "host/FailureReport.h"
#include "objects/ExceptionClasses.h"

namespace rt::console {
namespace {

struct Task {
  std::int32_t id;
  TaskAction action;
  std::int32_t periodTicks;
  std::int32_t lastRunTick;
};

// Tasks may add or remove tasks while they run, so each list is walked over a
// copy of its ids and every id is looked up again before its task runs.
class TaskList {
 public:
  std::int32_t add(TaskAction action, std::int32_t periodTicks) {
    const std::int32_t id = ++lastId_;
    tasks_.push_back({id, std::move(action), periodTicks, RuntimeTicks()});
    return id;
  }

  void remove(std::int32_t id) { std::erase_if(tasks_, [id](const Task& t) { return t.id == id; }); }

  // Runs the due tasks from the last registered to the first; false when one
  // left an exception pending.
  bool runDue(std::int32_t now) {
    std::vector<std::int32_t> ids;
    for (auto task = tasks_.rbegin(); task != tasks_.rend(); ++task) ids.push_back(task->id);
    for (std::int32_t id : ids) {
      Task* task = find(id);
      if (task == nullptr || ticksSince(now, task->lastRunTick) < task->periodTicks) continue;
      task->lastRunTick = now;
      // Copied: the task may remove itself while it runs.
      const TaskAction action = task->action;
      if (!callCompiled(action) || exceptions::pending() != nullptr) return false;
    }
    return true;
  }

 private:
  Task* find(std::int32_t id) {
    for (Task& task : tasks_) {
      if (task.id == id) return &task;
    }
    return nullptr;
  }

  std::vector<Task> tasks_;
  std::int32_t lastId_ = 0;
};

TaskList& backgroundTasks() {
  static TaskList list;
  return list;
}

TaskList& periodicTasks() {
  static TaskList list;
  return list;
}

void (*timerStep)() = &fireDueTimers;
bool passInterrupted = false;
int passDepth = 0;

// Counts the passes running, also when a step throws.
class PassScope {
 public:
  PassScope() { ++passDepth; }
  ~PassScope() { --passDepth; }
  PassScope(const PassScope&) = delete;
  PassScope& operator=(const PassScope&) = delete;
};

void runBackgroundTasks() { passInterrupted = !backgroundTasks().runDue(RuntimeTicks()); }

void runPeriodicTasks() { passInterrupted = !periodicTasks().runDue(RuntimeTicks()); }

std::int32_t lastBackgroundPass = -1;

}  // namespace

std::int32_t ticksSince(std::int32_t now, std::int32_t then) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(then));
}

std::int32_t addBackgroundTask(TaskAction action, std::int32_t periodTicks) {
  return backgroundTasks().add(std::move(action), periodTicks);
}

void removeBackgroundTask(std::int32_t id) { backgroundTasks().remove(id); }

std::int32_t addPeriodicTask(TaskAction action, std::int32_t periodTicks) {
  return periodicTasks().add(std::move(action), periodTicks);
}

void removePeriodicTask(std::int32_t id) { periodicTasks().remove(id); }

void setTimerStep(void (*step)()) { timerStep = step; }

void processEvents() {
  if (!scheduler().onMainThread()) {
    scheduler().yieldToNextThread();
    return;
  }
  const PassScope pass;
  passInterrupted = false;
  callThroughGate(&runBackgroundTasks);
  if (passInterrupted) return;
  if (timerStep != nullptr) {
    callThroughGate(timerStep);
    if (exceptions::pending() != nullptr) return;
  }
  callThroughGate(&runPeriodicTasks);
}

bool processingEvents() { return passDepth > 0; }

void callThroughGate(void (*function)()) {
  if (function == nullptr) {
    reportAssertion("../Common/runtimemainloop", __LINE__, "fp");
    return;
  }
  function();
}

}  // namespace rt::console

using namespace rt::console;

extern "C" {

void RuntimeDoEvents(RTObject*, int32_t milliseconds) {
  processEvents();
  if (milliseconds >= 0) scheduler().sleepCurrentThread(milliseconds);
}

void RuntimeBackgroundTask(void) {
  // Compiled loops call this on every iteration: the common path is one clock
  // read and one comparison.
  const int32_t now = RuntimeTicks();
  if (now == lastBackgroundPass) return;
  lastBackgroundPass = now;
  periodicTasks().runDue(now);
}

void AppSleepCurrentThread(RTObject* app, int32_t milliseconds) {
  if (app == nullptr) rt::reportAssertion("../Common/ConsoleApplication", __LINE__, "self");
  scheduler().sleepCurrentThread(milliseconds);
}

}  // extern "C"
