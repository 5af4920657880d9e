// The background-task yield point (console/ConsoleApi.h), called on every
// iteration of every compiled loop, once per byte in the cipher.
#include <benchmark/benchmark.h>

#include "console/ConsoleApi.h"

namespace {

void BM_BackgroundTask(benchmark::State& state) {
  for (auto _ : state) RuntimeBackgroundTask();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BackgroundTask);

void BM_RuntimeTicks(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(RuntimeTicks());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RuntimeTicks);

}  // namespace
