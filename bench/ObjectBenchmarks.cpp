// Object creation and reference counting (objects/ObjectModel.h): compiled
// code locks and unlocks around every object assignment and scope exit.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "objects/ObjectHandle.h"
#include "objects/ObjectModel.h"
#include "text/StringHandle.h"

namespace {

// A class of two fields below a superclass: creation runs both initializers.
struct BenchObject {
  RTObject header;
  std::int64_t first;
  std::int64_t second;
};

void initialize(RTObject* object) { reinterpret_cast<BenchObject*>(object)->first = 1; }

ClassRecord* benchClass() {
  static ClassRecord* const cls = [] {
    ClassRecord* base = RuntimeNewClass(nullptr, 1, 0, 0, 0, 0);
    base->name = rt::String("BenchBase").leak();
    base->instanceSize = sizeof(BenchObject);
    base->initializer = initialize;
    ClassRecord* derived = RuntimeNewClass(base, 1, 0, 0, 0, 0);
    derived->name = rt::String("BenchObject").leak();
    derived->instanceSize = sizeof(BenchObject);
    derived->initializer = initialize;
    return derived;
  }();
  return cls;
}

void BM_ObjectCreateRelease(benchmark::State& state) {
  ClassRecord* cls = benchClass();
  for (auto _ : state) {
    RTObject* object = RuntimeNewObject(cls);
    benchmark::DoNotOptimize(object);
    RuntimeUnlockObject(object);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * sizeof(BenchObject));
}
BENCHMARK(BM_ObjectCreateRelease);

void BM_ObjectLockUnlock(benchmark::State& state) {
  const rt::Object object = rt::newObject(benchClass());
  for (auto _ : state) {
    RuntimeLockObject(object.get());
    RuntimeUnlockObject(object.get());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ObjectLockUnlock);

// Two assignments of a variable that alternates between two objects.
void BM_LockUnlockObjects(benchmark::State& state) {
  const rt::Object a = rt::newObject(benchClass());
  const rt::Object b = rt::newObject(benchClass());
  RuntimeLockObject(a.get());  // the variable's reference
  for (auto _ : state) {
    RuntimeLockUnlockObjects(b.get(), a.get());
    RuntimeLockUnlockObjects(a.get(), b.get());
    benchmark::ClobberMemory();
  }
  RuntimeUnlockObject(a.get());
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_LockUnlockObjects);

}  // namespace
