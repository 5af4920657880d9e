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

// What the scheduler keeps of the main thread before any thread exists: the
// bounds of its stack budget, which TOLVInitStackChecker hands it. A scheduler
// installed later takes these as its main thread's record.
struct MainThreadRecord {
  std::uintptr_t stackTop = 0;
  std::uintptr_t stackLimit = 0;
};

MainThreadRecord& mainThreadRecord();

}  // namespace rt::console
