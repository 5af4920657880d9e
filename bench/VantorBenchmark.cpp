// Whole-process figures of the built tool: time to the first prompt,
// createsys of a large key system, enc and dec of a large file with and
// without filler bytes, and the peak resident memory of each run. Then enc
// and dec of the large file once per cipher kernel the processor runs, by the
// application's own operations inside this process (all but the start-up,
// which the first figure measures), so the portable kernels are measured end
// to end on a machine that would choose a faster one.
//
//   vantor_bench <path to vantor> [MiB of the large file, default 256]
//   vantor_bench --compare <path to vantor> [MiB, default 256] [rounds, default 10]
//
// The second form is the comparison with a plain copy (Comparison.h).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Comparison.h"
#include "Operations.h"
#include "ToolRuns.h"
#include "cipher/EngineSettings.h"

namespace {

using namespace vantor::bench;

void report(const char* what, const Run& run, std::uint64_t bytes = 0) {
  std::printf("%-44s %8.3f s", what, run.seconds);
  if (bytes != 0) std::printf("  %8.1f MB/s", static_cast<double>(bytes) / 1e6 / run.seconds);
  std::printf("  peak %6.1f MiB\n", static_cast<double>(run.peakKiB) / 1024);
}

void reportKernels(const fs::path& tool, std::uint64_t largeBytes) {
  startApplication();
  const fs::path folder = newFolder(tool, "vantor-bench-kernels");
  runTool(folder, "createsys 10 10 10 n\nquit\n");
  writeRandomFile(folder / "large.bin", largeBytes);
  for (auto kernel : {vantor::cipher::Kernel::Avx512Vbmi, vantor::cipher::Kernel::Avx2,
                      vantor::cipher::Kernel::Scalar}) {
    if (!vantor::cipher::kernelRuns(kernel)) continue;
    vantor::cipher::setEngineSettings({kernel, 0, vantor::cipher::EngineSettings{}.blockBytes});
    const double enc =
        timeOperation(folder, "enc large.bin large.enc 3 4 5", &vantor::app::encrypt);
    const double dec =
        timeOperation(folder, "dec large.enc large.dec 3 4 5", &vantor::app::decrypt);
    const bool same = fs::file_size(folder / "large.dec") == largeBytes;
    std::printf("%-20s enc %8.1f MB/s   dec %8.1f MB/s%s\n", vantor::cipher::kernelName(kernel),
                static_cast<double>(largeBytes) / 1e6 / enc,
                static_cast<double>(largeBytes) / 1e6 / dec,
                same ? "" : "   (decrypted size differs!)");
  }
  vantor::cipher::setEngineSettings({});
  stopApplication();
  fs::remove_all(folder);
}

// Timings of one run move by a tenth or more on a shared machine: the
// median of a few runs, with the largest peak memory among them.
constexpr int kRepeats = 5;

Run medianRun(const fs::path& folder, const std::string& input) {
  std::vector<double> seconds;
  Run result;
  for (int i = 0; i < kRepeats; ++i) {
    const Run run = runTool(folder, input);
    seconds.push_back(run.seconds);
    result.peakKiB = std::max(result.peakKiB, run.peakKiB);
  }
  result.seconds = median(seconds);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--compare") == 0) {
    const std::uint64_t bytes = (argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 256) << 20;
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 10;
    return compare(argv[2], bytes, std::max(rounds, 1));
  }
  if (argc < 2) {
    std::fprintf(
        stderr,
        "usage: %s <vantor executable> [MiB, default 256]\n"
        "       %s --compare <vantor executable> [MiB, default 256] [rounds, default 10]\n",
        argv[0], argv[0]);
    return 2;
  }
  const fs::path tool = argv[1];
  const std::uint64_t largeBytes = (argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 256) << 20;

  std::vector<double> prompts;
  const fs::path empty = newFolder(tool, "vantor-bench-start");
  for (int i = 0; i < 20; ++i) prompts.push_back(runTool(empty, "quit\n").firstPromptSeconds);
  std::sort(prompts.begin(), prompts.end());
  std::printf("%-44s %8.1f ms (median of 20, fastest %.1f ms)\n", "start to first prompt",
              prompts[10] * 1e3, prompts[0] * 1e3);

  const fs::path large = newFolder(tool, "vantor-bench-create");
  report("createsys 1000 1000 1000 h", runTool(large, "createsys 1000 1000 1000 h\nquit\n"));

  const fs::path plain = newFolder(tool, "vantor-bench-plain");
  runTool(plain, "createsys 10 10 10 n\nquit\n");
  writeRandomFile(plain / "large.bin", largeBytes);
  char label[64];
  std::snprintf(label, sizeof label, "enc %.0f MiB, no expansion", mebibytes(largeBytes));
  report(label, medianRun(plain, "enc large.bin large.enc 3 4 5\nquit\n"), largeBytes);
  std::snprintf(label, sizeof label, "dec %.0f MiB, no expansion", mebibytes(largeBytes));
  report(label, medianRun(plain, "dec large.enc large.dec 3 4 5\nquit\n"), largeBytes);
  const bool same = fs::file_size(plain / "large.dec") == largeBytes;
  fs::remove_all(plain);

  const fs::path expanded = newFolder(tool, "vantor-bench-expanded");
  runTool(expanded, "createsys 10 10 10 h\nquit\n");
  writeRandomFile(expanded / "small.bin", 4 << 20);
  const Run enc = medianRun(expanded, "enc small.bin small.enc 3 4 5\nquit\n");
  const std::uint64_t output = fs::file_size(expanded / "small.enc");
  std::snprintf(label, sizeof label, "enc 4 MiB, high expansion (%.0f MiB out)", mebibytes(output));
  report(label, enc, output);
  const Run dec = medianRun(expanded, "dec small.enc small.dec 3 4 5\nquit\n");
  report("dec of it (MB/s of its input)", dec, output);
  fs::remove_all(expanded);
  fs::remove_all(large);
  fs::remove_all(empty);
  std::printf("per kernel, %.0f MiB, in process (the application's enc and dec operations):\n",
              mebibytes(largeBytes));
  reportKernels(tool, largeBytes);
  return same ? 0 : 1;
}
