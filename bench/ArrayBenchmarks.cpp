// Array element access and append growth (objects/ArrayBlock.h): every
// element operation is one indirect call through the array's method table.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "objects/ArrayApi.h"
#include "objects/ArrayHandle.h"
#include "text/SmallBlockAllocator.h"
#include "text/StringHandle.h"

namespace {

template <class Function>
Function slot(const rt::Array& array, ArraySlot which) {
  return reinterpret_cast<Function>(array->methods->slots[which]);
}

using GetInt32 = std::int32_t (*)(RTArray*, std::int32_t);
using SetInt32 = void (*)(RTArray*, std::int32_t, std::int32_t);
using SetString = void (*)(RTArray*, RTString, std::int32_t);
using InsertInt32 = void (*)(RTArray*, std::int32_t, std::int32_t);

constexpr std::int32_t kUpperBound = 1023;

void BM_ArrayGetInt32(benchmark::State& state) {
  const rt::Array array = rt::Array::adopt(CreateArray(1, kArrayInt32, kUpperBound));
  const auto get = slot<GetInt32>(array, kArraySlotGet);
  for (auto _ : state) {
    for (std::int32_t i = 0; i <= kUpperBound; ++i) benchmark::DoNotOptimize(get(array.get(), i));
  }
  state.SetItemsProcessed(state.iterations() * (kUpperBound + 1));
}
BENCHMARK(BM_ArrayGetInt32);

void BM_ArraySetInt32(benchmark::State& state) {
  const rt::Array array = rt::Array::adopt(CreateArray(1, kArrayInt32, kUpperBound));
  const auto set = slot<SetInt32>(array, kArraySlotSet);
  for (auto _ : state) {
    for (std::int32_t i = 0; i <= kUpperBound; ++i) set(array.get(), i, i);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * (kUpperBound + 1));
}
BENCHMARK(BM_ArraySetInt32);

// String elements are counted: each store locks the new value and unlocks the old.
void BM_ArraySetString(benchmark::State& state) {
  const rt::Array array = rt::Array::adopt(CreateArray(1, kArrayString, kUpperBound));
  const auto set = slot<SetString>(array, kArraySlotSet);
  const rt::String values[2] = {"even", "odd"};
  for (auto _ : state) {
    for (std::int32_t i = 0; i <= kUpperBound; ++i) set(array.get(), values[i & 1].get(), i);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * (kUpperBound + 1));
}
BENCHMARK(BM_ArraySetString);

rt::Array appended(std::int64_t count) {
  rt::Array array = rt::Array::adopt(CreateArray(1, kArrayInt32, -1));
  const auto insert = slot<InsertInt32>(array, kArraySlotInsert);
  for (std::int32_t i = 0; i < count; ++i) insert(array.get(), i, i);
  return array;
}

// Appends count elements to an empty array. Time per element should stay
// flat as count grows; bytes_per_element is the allocator's total for the
// array (block and buffer) divided by count: 4 would be a tight fit.
void BM_ArrayInsertAppend(benchmark::State& state) {
  const std::int64_t count = state.range(0);
  for (auto _ : state) benchmark::DoNotOptimize(appended(count).get());
  state.SetItemsProcessed(state.iterations() * count);
  state.SetBytesProcessed(state.iterations() * count * std::int64_t{sizeof(std::int32_t)});

  const std::int64_t before = rt::memory::bytesInUse();
  const rt::Array array = appended(count);
  state.counters["bytes_per_element"] =
      static_cast<double>(rt::memory::bytesInUse() - before) / static_cast<double>(count);
}
BENCHMARK(BM_ArrayInsertAppend)->RangeMultiplier(4)->Range(1 << 10, 1 << 22);

}  // namespace
