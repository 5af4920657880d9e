// The cipher engine alone (app/cipher): encryption and decryption per kernel,
// on one thread and on one thread per processor, without fillers and with the
// fillers of high expansion, drawn from the application's random source.
// Output goes to a sink that only counts it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "RandomDraws.h"
#include "RegularKey.h"
#include "cipher/Cipher.h"
#include "cipher/EngineSettings.h"

namespace {

using namespace vantor::cipher;
using vantor::bench::regularKey;

constexpr std::size_t kInputBytes = 8 << 20;
constexpr std::size_t kPushBytes = 256 << 10;

Schedule scheduleFor(bool expansion) {
  std::mt19937 rng(7);
  std::array<std::int32_t, kSeedCount> seeds{};
  if (expansion) {
    for (std::int32_t& seed : seeds) seed = static_cast<std::int32_t>(1 + rng() % 100);
  }
  return buildSchedule(seeds);
}

class CountingSink : public ByteSink {
 public:
  bool write(std::span<const std::uint8_t> bytes) override {
    benchmark::DoNotOptimize(bytes.data());
    total += bytes.size();
    return true;
  }
  std::size_t total = 0;
};

std::vector<std::uint8_t> randomInput(std::size_t n) {
  std::mt19937 rng(3);
  std::vector<std::uint8_t> bytes(n);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(rng());
  return bytes;
}

// Arguments: kernel (0 scalar, 1 AVX2, 2 AVX-512 VBMI), threads (0: one per
// processor the process may use).
bool configure(benchmark::State& state) {
  const auto kernel = static_cast<Kernel>(state.range(0));
  if (!kernelRuns(kernel)) {
    state.SkipWithError("this processor cannot run the kernel");
    return false;
  }
  const auto threads = static_cast<std::size_t>(state.range(1));
  setEngineSettings({kernel, threads, EngineSettings{}.blockBytes});
  const std::size_t shown = threads > 0 ? threads : processorsAvailable();
  state.SetLabel(std::string(kernelName(kernel)) + ", " + std::to_string(shown) +
                 (shown == 1 ? " thread" : " threads"));
  return true;
}

template <class Engine>
void pushAll(Engine& engine, const std::vector<std::uint8_t>& input) {
  for (std::size_t done = 0; done < input.size(); done += kPushBytes) {
    const std::size_t n = std::min(kPushBytes, input.size() - done);
    if (!engine.push({input.data() + done, n})) return;
  }
  benchmark::DoNotOptimize(engine.finish());
}

void BM_Encrypt(benchmark::State& state) {
  if (!configure(state)) return;
  const Key key = regularKey();
  const Schedule schedule = scheduleFor(false);
  const std::vector<std::uint8_t> input = randomInput(kInputBytes);
  for (auto _ : state) {
    vantor::app::RandomDraws random(rt::numbers::RandomUse::Public);
    CountingSink sink;
    Encryptor encryptor(key, schedule, random, sink);
    pushAll(encryptor, input);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
  setEngineSettings({});
}

void BM_Decrypt(benchmark::State& state) {
  if (!configure(state)) return;
  const Key key = regularKey();
  const Schedule schedule = scheduleFor(false);
  const std::vector<std::uint8_t> input = randomInput(kInputBytes);
  for (auto _ : state) {
    CountingSink sink;
    Decryptor decryptor(key, schedule, sink);
    pushAll(decryptor, input);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
  setEngineSettings({});
}

// Bytes per second of output, fillers included.
void BM_EncryptHighExpansion(benchmark::State& state) {
  if (!configure(state)) return;
  const Key key = regularKey();
  const Schedule schedule = scheduleFor(true);
  const std::vector<std::uint8_t> input = randomInput(kInputBytes / 64);
  std::size_t output = 0;
  for (auto _ : state) {
    vantor::app::RandomDraws random(rt::numbers::RandomUse::Public);
    CountingSink sink;
    Encryptor encryptor(key, schedule, random, sink);
    pushAll(encryptor, input);
    output = sink.total;
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(output));
  state.counters["output_per_input"] = static_cast<double>(output) / static_cast<double>(input.size());
  setEngineSettings({});
}

// Bytes per second of input, fillers included.
void BM_DecryptHighExpansion(benchmark::State& state) {
  if (!configure(state)) return;
  const Key key = regularKey();
  const Schedule schedule = scheduleFor(true);
  std::vector<std::uint8_t> ciphertext;
  {
    vantor::app::RandomDraws random(rt::numbers::RandomUse::Public);
    class Collect : public ByteSink {
     public:
      explicit Collect(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
      bool write(std::span<const std::uint8_t> bytes) override {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return true;
      }

     private:
      std::vector<std::uint8_t>& bytes_;
    } collect(ciphertext);
    Encryptor encryptor(key, schedule, random, collect);
    pushAll(encryptor, randomInput(kInputBytes / 64));
  }
  for (auto _ : state) {
    CountingSink sink;
    Decryptor decryptor(key, schedule, sink);
    pushAll(decryptor, ciphertext);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ciphertext.size()));
  setEngineSettings({});
}

void kernelsAndThreads(benchmark::internal::Benchmark* b) {
  b->ArgsProduct({{0, 1, 2}, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Encrypt)->Apply(kernelsAndThreads);
BENCHMARK(BM_Decrypt)->Apply(kernelsAndThreads);
BENCHMARK(BM_EncryptHighExpansion)->Apply(kernelsAndThreads);
BENCHMARK(BM_DecryptHighExpansion)->Apply(kernelsAndThreads);

}  // namespace
