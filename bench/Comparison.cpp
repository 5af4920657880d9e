#include "Comparison.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Operations.h"
#include "RegularKey.h"
#include "ToolRuns.h"
#include "cipher/Cipher.h"
#include "cipher/EngineSettings.h"

namespace vantor::bench {
namespace {

using cipher::Kernel;

// One line of the report: how to run it once, and its runs round by round.
struct Step {
  std::string what;
  std::function<Run()> run;
  bool toCat = true;  // false: the engine alone, which a copy does not compare with
  std::vector<double> seconds{};
  std::vector<double> ratios{};  // to cat in the same round
  long peakKiB = 0;
};

std::vector<Kernel> runnableKernels() {
  std::vector<Kernel> kernels;
  for (Kernel kernel : {Kernel::Avx512Vbmi, Kernel::Avx2, Kernel::Scalar}) {
    if (cipher::kernelRuns(kernel)) kernels.push_back(kernel);
  }
  return kernels;
}

std::string loadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

class DiscardingSink final : public cipher::ByteSink {
 public:
  bool write(std::span<const std::uint8_t>) override { return true; }
};

class NoRandom final : public cipher::RandomSource {
 public:
  void draw(std::span<std::uint32_t> out) override { std::fill(out.begin(), out.end(), 0); }
};

// The engine on every processor, without fillers, over bytes of input taken
// from memory; its output is thrown away.
template <class Engine, class... Extra>
double engineSeconds(const std::vector<std::uint8_t>& input, std::uint64_t bytes, Extra&... extra) {
  const cipher::Key key = regularKey();
  const cipher::Schedule noFillers =
      cipher::buildSchedule(std::array<std::int32_t, cipher::kSeedCount>{});
  DiscardingSink sink;
  const auto start = std::chrono::steady_clock::now();
  Engine engine(key, noFillers, extra..., sink);
  for (std::uint64_t done = 0; done < bytes;) {
    const std::span<std::uint8_t> space = engine.space();
    if (space.empty()) return 0;
    const std::size_t n = static_cast<std::size_t>(
        std::min<std::uint64_t>({space.size(), bytes - done, input.size()}));
    std::copy_n(input.begin(), n, space.begin());
    if (!engine.commit(n)) return 0;
    done += n;
  }
  if (!engine.finish()) return 0;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<std::uint8_t> randomBytes(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  std::mt19937_64 rng(7);
  std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(rng()); });
  return bytes;
}

bool sameBytes(const fs::path& a, const fs::path& b) {
  std::ifstream left(a, std::ios::binary);
  std::ifstream right(b, std::ios::binary);
  return std::equal(std::istreambuf_iterator<char>(left), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(right), std::istreambuf_iterator<char>());
}

void printLine(const Step& line, std::uint64_t bytes) {
  const double seconds = median(line.seconds);
  std::printf("%-44s %8.3f s %9.1f MB/s", line.what.c_str(), seconds,
              static_cast<double>(bytes) / 1e6 / seconds);
  if (!line.ratios.empty()) std::printf("  %5.2f x cat", median(line.ratios));
  if (line.peakKiB > 0) std::printf("  peak %5.1f MiB", static_cast<double>(line.peakKiB) / 1024);
  std::printf("\n");
}

}  // namespace

int compare(const fs::path& tool, std::uint64_t bytes, int rounds) {
  const fs::path folder = newFolder(tool, "vantor-compare");
  runTool(folder, "createsys 10 10 10 n\nquit\n");
  writeRandomFile(folder / "in.bin", bytes);
  startApplication();
  // Made when the engine first runs alone, after the first round's whole
  // processes: a child's peak counts what it shares with this process until
  // it starts its program.
  std::vector<std::uint8_t> input;

  const std::vector<Kernel> kernels = runnableKernels();
  std::printf("%.0f MiB of random bytes in %s, %d rounds taken in turn\n", mebibytes(bytes),
              folder.c_str(), rounds);
  std::printf("%zu processors available; the tool's kernel: %s; load average %s\n",
              cipher::processorsAvailable(), cipher::kernelName(cipher::fastestKernel()),
              loadAverage().c_str());

  // Each step removes its output first, so that no run pays for freeing an
  // earlier one's pages.
  std::vector<Step> steps;
  // Each step removes its output first, so that no run pays for freeing an
  // earlier one's pages.
  auto add = [&](std::string what, const char* output, std::function<Run()> run) {
    steps.push_back({std::move(what), [=] {
                       fs::remove(folder / output);
                       return run();
                     }});
  };
  add("cat", "out.cat", [=] { return runProgram(folder, {"cat", "in.bin"}, folder / "out.cat"); });
  if (programExists("openssl")) {
    add("openssl enc -aes-256-ctr", "out.aes", [=] {
      return runProgram(folder, {"openssl", "enc", "-aes-256-ctr", "-K", std::string(64, '1'),
                                 "-iv", std::string(32, '2'), "-in", "in.bin", "-out", "out.aes"});
    });
  }
  add("vantor enc (the whole tool)", "out.enc",
      [=] { return runTool(folder, "enc in.bin out.enc 3 4 5\nquit\n"); });
  add("vantor dec (the whole tool)", "out.dec",
      [=] { return runTool(folder, "dec out.enc out.dec 3 4 5\nquit\n"); });
  for (Kernel kernel : kernels) {
    const std::string name = cipher::kernelName(kernel);
    const cipher::EngineSettings settings{kernel, 0, cipher::EngineSettings{}.blockBytes};
    add("enc operation, " + name, "kernel.enc", [=] {
      cipher::setEngineSettings(settings);
      return Run{timeOperation(folder, "enc in.bin kernel.enc 3 4 5", &vantor::app::encrypt)};
    });
    add("dec operation, " + name, "kernel.dec", [=] {
      cipher::setEngineSettings(settings);
      return Run{timeOperation(folder, "dec kernel.enc kernel.dec 3 4 5", &vantor::app::decrypt)};
    });
    steps.push_back({"engine alone, memory to memory, enc " + name,
                     [=, &input] {
                       if (input.empty()) input = randomBytes(std::size_t{16} << 20);
                       cipher::setEngineSettings(settings);
                       NoRandom random;
                       return Run{engineSeconds<cipher::Encryptor>(input, bytes, random)};
                     },
                     false});
    steps.push_back({"engine alone, memory to memory, dec " + name,
                     [=, &input] {
                       cipher::setEngineSettings(settings);
                       return Run{engineSeconds<cipher::Decryptor>(input, bytes)};
                     },
                     false});
  }

  for (int round = 0; round < rounds; ++round) {
    double catSeconds = 0;
    for (Step& step : steps) {
      const Run run = step.run();
      step.seconds.push_back(run.seconds);
      if (&step == &steps.front()) catSeconds = run.seconds;
      if (step.toCat) step.ratios.push_back(run.seconds / catSeconds);
      if (round == 0) step.peakKiB = run.peakKiB;
    }
  }
  cipher::setEngineSettings({});
  for (const Step& step : steps) printLine(step, bytes);
  // Per kernel: operation enc, dec, then the engine alone enc, dec.
  const std::size_t firstKernelStep = steps.size() - 4 * kernels.size();
  for (std::size_t k = 0; k < kernels.size(); ++k) {
    const Step* kernelSteps = &steps[firstKernelStep + 4 * k];
    std::printf("%s end to end, of the engine alone: enc %.0f %%, dec %.0f %%\n",
                cipher::kernelName(kernels[k]),
                100 * median(kernelSteps[2].seconds) / median(kernelSteps[0].seconds),
                100 * median(kernelSteps[3].seconds) / median(kernelSteps[1].seconds));
  }
  std::printf("load average %s\n", loadAverage().c_str());

  const bool same = sameBytes(folder / "in.bin", folder / "out.dec") &&
                    sameBytes(folder / "in.bin", folder / "kernel.dec");
  stopApplication();
  fs::remove_all(folder);
  return same ? 0 : 1;
}

}  // namespace vantor::bench
