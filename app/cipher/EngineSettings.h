// Choices the engine makes on its own, open to tests and benchmarks: which
// kernel runs the table look-ups, whether a helper thread shares the work,
// and the size of the blocks it is handed in.
// The application never sets them. Settings are read when an Encryptor or
// Decryptor is constructed.
#pragma once

#include <cstddef>
#include <optional>

namespace vantor::cipher {

enum class Kernel { Scalar, Avx2, Avx512Vbmi };

// Whether this processor (and its operating system) can run the kernel.
bool kernelRuns(Kernel kernel);
// The fastest kernel this processor runs.
Kernel fastestKernel();
const char* kernelName(Kernel kernel);

struct EngineSettings {
  // The kernel to use; none, or one this processor cannot run, means the
  // fastest it runs.
  std::optional<Kernel> kernel;
  bool helperThread = true;
  // The engine holds four blocks of input and four of output of this size.
  std::size_t blockBytes = std::size_t{128} * 1024;
};

void setEngineSettings(const EngineSettings& settings);
const EngineSettings& engineSettings();

}  // namespace vantor::cipher
