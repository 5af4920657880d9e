// Choices the engine makes on its own, open to tests and benchmarks: which
// kernel runs the table look-ups, how many threads share the work, and the
// size of the blocks the stream is read, ciphered and written in.
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

// The processors this process may run on (at least 1).
std::size_t processorsAvailable();

struct EngineSettings {
  // The kernel to use; none, or one this processor cannot run, means the
  // fastest it runs.
  std::optional<Kernel> kernel;
  // Threads that cipher, the calling thread included; 0 means one for each
  // processor the process may run on.
  std::size_t threads = 0;
  // Input is taken and output handed on in blocks of this size (the last
  // may be shorter); the engine holds a few of them at a time.
  std::size_t blockBytes = std::size_t{1} << 20;
};

void setEngineSettings(const EngineSettings& settings);
const EngineSettings& engineSettings();

}  // namespace vantor::cipher
