// The seam between the runtime and the cooperative threads: what event
// processing, the application and the stack checker ask of the scheduler.
// The cooperative scheduler is installed from the start; tests may put
// another in its place.
#pragma once

#include <cstdint>

#include "console/ThreadRecord.h"
#include "objects/ObjectModel.h"

namespace rt::console {

struct Scheduler {
  bool (*onMainThread)();
  void (*yieldToNextThread)();
  void (*sleepCurrentThread)(std::int32_t milliseconds);
  // Ends every cooperative thread that has a Thread object.
  void (*killThreads)();
  // The running thread's Thread object with a new reference; nil on the main thread.
  RTObject* (*currentThread)();
};

void installScheduler(const Scheduler& scheduler);
const Scheduler& scheduler();

// The main thread's record, which TOLVInitStackChecker gives the bounds of
// the main thread's stack budget.
ThreadRecord& mainThreadRecord();

}  // namespace rt::console
