#include "cipher/EngineSettings.h"

#include <sched.h>

#include <cerrno>

#include "cipher/Kernels.h"

namespace vantor::cipher {
namespace {

EngineSettings& settings() {
  static EngineSettings current;
  return current;
}

}  // namespace

// The compiler's feature test also checks that the operating system saves
// the vector registers the kernel uses.
bool kernelRuns(Kernel kernel) {
  __builtin_cpu_init();
  switch (kernel) {
    case Kernel::Scalar:
      return true;
    case Kernel::Avx2:
      return __builtin_cpu_supports("avx2");
    case Kernel::Avx512Vbmi:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vbmi");
  }
  return false;
}

Kernel fastestKernel() {
  if (kernelRuns(Kernel::Avx512Vbmi)) return Kernel::Avx512Vbmi;
  if (kernelRuns(Kernel::Avx2)) return Kernel::Avx2;
  return Kernel::Scalar;
}

const char* kernelName(Kernel kernel) {
  switch (kernel) {
    case Kernel::Scalar:
      return "scalar";
    case Kernel::Avx2:
      return "avx2";
    case Kernel::Avx512Vbmi:
      return "avx512vbmi";
  }
  return "unknown";
}

// The set grows until it holds every processor the system numbers.
std::size_t processorsAvailable() {
  for (int processors = 1024; processors <= (1 << 20); processors *= 8) {
    cpu_set_t* set = CPU_ALLOC(processors);
    if (set == nullptr) break;
    const std::size_t size = CPU_ALLOC_SIZE(processors);
    const bool told = sched_getaffinity(0, size, set) == 0;
    const int count = told ? CPU_COUNT_S(size, set) : 0;
    const bool tooSmall = !told && errno == EINVAL;
    CPU_FREE(set);
    if (told) return count > 0 ? static_cast<std::size_t>(count) : 1;
    if (!tooSmall) break;
  }
  return 1;
}

KernelPair kernelsFor(Kernel kernel) {
  switch (kernel) {
    case Kernel::Avx512Vbmi:
      return avx512VbmiKernels();
    case Kernel::Avx2:
      return avx2Kernels();
    case Kernel::Scalar:
      break;
  }
  return scalarKernels();
}

void setEngineSettings(const EngineSettings& newSettings) { settings() = newSettings; }

const EngineSettings& engineSettings() { return settings(); }

}  // namespace vantor::cipher
