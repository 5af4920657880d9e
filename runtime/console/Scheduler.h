// The seam to cooperative threads. Until a scheduler installs itself the
// process has only its main thread, and these operations act for it alone.
#pragma once

#include <cstdint>

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

}  // namespace rt::console
