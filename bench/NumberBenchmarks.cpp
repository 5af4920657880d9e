// The random generators, rounding and double-to-integer conversion
// (numbers/NumberApi.h), which key creation and the cipher call constantly.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "numbers/NumberApi.h"

namespace {

void BM_Rnd(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(rnd());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Rnd);

// Values of the operating system's random source in blocks, as the filler
// bytes of a cryption take them (argument: 0 public, 1 secret use).
void BM_SecureRandomDraws(benchmark::State& state) {
  const auto use =
      state.range(0) == 0 ? rt::numbers::RandomUse::Public : rt::numbers::RandomUse::Secret;
  std::vector<std::uint32_t> values(16 * 1024);
  for (auto _ : state) {
    if (!rt::numbers::drawSecureRandomBits(values, use)) {
      state.SkipWithError("the random source cannot be read");
      return;
    }
    benchmark::DoNotOptimize(values.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_SecureRandomDraws)->Arg(0)->Arg(1);

// Values on both sides of zero, halves included, so no branch settles.
const std::array<double, 8>& samples() {
  static const std::array<double, 8> values = {2.5, -2.5, 0.49999, 255.7, -0.5, 1e9, -37.2, 3.0};
  return values;
}

void BM_RuntimeRound(benchmark::State& state) {
  for (auto _ : state) {
    for (double x : samples()) benchmark::DoNotOptimize(RuntimeRound(x));
  }
  state.SetItemsProcessed(state.iterations() * samples().size());
}
BENCHMARK(BM_RuntimeRound);

void BM_RuntimeCvtReal64ToSInt32(benchmark::State& state) {
  for (auto _ : state) {
    for (double x : samples()) benchmark::DoNotOptimize(RuntimeCvtReal64ToSInt32(x));
  }
  state.SetItemsProcessed(state.iterations() * samples().size());
}
BENCHMARK(BM_RuntimeCvtReal64ToSInt32);

// A table index drawn as key creation draws one: Int(Rnd * 256).
void BM_RandomTableIndex(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(RuntimeCvtReal64ToSInt32(rnd() * 256.0));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomTableIndex);

}  // namespace
