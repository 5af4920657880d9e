// The cooperative scheduler (console/ThreadApi.h): a yield with nobody else to
// run, and a round trip of the baton to another operating-system thread.
#include <benchmark/benchmark.h>

#include "console/ConsoleApi.h"
#include "console/ConsoleApplication.h"
#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "objects/ClassRegistry.h"
#include "text/StringHandle.h"

namespace {

bool stop = false;

// Suspends itself each time it runs: every resume and yield of the main
// thread is one hand-over there and one back.
void suspendUntilStopped(RTObject* thread) {
  while (!stop) ThreadSuspend(thread);
}

ClassRecord* suspendingThreadClass() {
  rt::console::registerConsoleClasses();
  ClassRecord* thread = rt::objects::classFor(rt::console::threadClass);
  ClassRecord* cls = RuntimeNewClass(thread, thread->methodCount, 0, thread->eventCount, 0,
                                     thread->propertyCount);
  cls->name = rt::String("SuspendingThread").leak();
  cls->instanceSize = thread->instanceSize;
  cls->events[rt::console::threadRunEvent.number].handler =
      reinterpret_cast<void*>(&suspendUntilStopped);
  return cls;
}

void BM_YieldAlone(benchmark::State& state) {
  for (auto _ : state) YieldToNextThread();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_YieldAlone);

void BM_HandOverAndBack(benchmark::State& state) {
  static ClassRecord* const cls = suspendingThreadClass();
  RTObject* thread = RuntimeNewObject(cls);
  // More entries than the main thread's five keep the other thread first in every round.
  ThreadSetPriority(thread, rt::console::kHighPriority);
  stop = false;
  threadRun(thread);
  for (auto _ : state) {
    ThreadResume(thread);
    YieldToNextThread();
  }
  stop = true;
  ThreadResume(thread);
  constexpr auto kEnded = static_cast<int32_t>(rt::console::ThreadState::NotRunning);
  while (ThreadGetState(thread) != kEnded) YieldToNextThread();
  RuntimeUnlockObject(thread);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HandOverAndBack);

}  // namespace
