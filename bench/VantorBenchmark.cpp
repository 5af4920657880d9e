// Whole-process figures of the built tool: time to the first prompt,
// createsys of a large key system, enc and dec of a large file with and
// without filler bytes, and the peak resident memory of each run. Then enc
// and dec of the large file once per cipher kernel the processor runs, by the
// application's own operations inside this process (all but the start-up,
// which the first figure measures), so the portable kernels are measured end
// to end on a machine that would choose a faster one.
//
//   vantor_bench <path to vantor> [MiB of the large file, default 256]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "ModuleGlobals.h"
#include "Operations.h"
#include "cipher/EngineSettings.h"
#include "files/FolderItemApi.h"
#include "host/HostApi.h"
#include "objects/ArrayHandle.h"
#include "text/StringHandle.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Run {
  double seconds = 0;
  long peakKiB = 0;
  double firstPromptSeconds = 0;
};

// Runs the tool in folder with input on its standard input; times the whole
// run and the wait for the first prompt.
Run runTool(const fs::path& folder, const std::string& input) {
  int in[2];
  int out[2];
  if (pipe(in) != 0 || pipe(out) != 0) std::exit(1);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    if (chdir(folder.c_str()) != 0) _exit(126);
    setenv("HOME", folder.c_str(), 1);
    const std::string program = (folder / "vantor").string();
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  Run run;
  std::string seen;
  char buffer[65536];
  bool prompted = false;
  for (;;) {
    const ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    seen.append(buffer, static_cast<std::size_t>(n));
    if (!prompted && seen.find("[Vantor] ") != std::string::npos) {
      prompted = true;
      run.firstPromptSeconds = std::chrono::duration<double>(Clock::now() - start).count();
      if (write(in[1], input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        std::exit(1);
      close(in[1]);
    }
    if (seen.size() > 4096) seen.erase(0, seen.size() - 64);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  close(out[0]);
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.peakKiB = usage.ru_maxrss;
  return run;
}

fs::path newFolder(const fs::path& tool, const char* name) {
  const fs::path folder = fs::temp_directory_path() / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::create_symlink(fs::absolute(tool), folder / "vantor");
  return folder;
}

void writeRandomFile(const fs::path& path, std::uint64_t bytes) {
  std::mt19937_64 generator(42);
  std::vector<std::uint64_t> block(1 << 17);
  std::ofstream out(path, std::ios::binary);
  for (std::uint64_t written = 0; written < bytes;) {
    for (auto& word : block) word = generator();
    const auto size =
        std::min<std::uint64_t>(bytes - written, block.size() * sizeof(std::uint64_t));
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(size));
    written += size;
  }
}

double mebibytes(std::uint64_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

void report(const char* what, const Run& run, std::uint64_t bytes = 0) {
  std::printf("%-44s %8.3f s", what, run.seconds);
  if (bytes != 0) std::printf("  %8.1f MB/s", static_cast<double>(bytes) / 1e6 / run.seconds);
  std::printf("  peak %6.1f MiB\n", static_cast<double>(run.peakKiB) / 1024);
}

// One command of the application run by its operation in this process, with
// the folder as the application folder; its messages go to /dev/null.
double timeOperation(const fs::path& folder, const std::string& line, void (*operation)()) {
  RuntimeSetApplicationPath(rt::String(folder.string()).get());
  vantor::app::globals().cmd = rt::String(line);
  vantor::app::systemData(0);
  const auto start = Clock::now();
  operation();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void reportKernels(const fs::path& tool, std::uint64_t largeBytes) {
  RuntimeInitExternalClasses();
  vantor::app::createModuleGlobals();
  const fs::path folder = newFolder(tool, "vantor-bench-kernels");
  runTool(folder, "createsys 10 10 10 n\nquit\n");
  writeRandomFile(folder / "large.bin", largeBytes);
  std::fflush(stdout);
  const int console = dup(STDOUT_FILENO);
  for (auto kernel : {vantor::cipher::Kernel::Avx512Vbmi, vantor::cipher::Kernel::Avx2,
                      vantor::cipher::Kernel::Scalar}) {
    if (!vantor::cipher::kernelRuns(kernel)) continue;
    vantor::cipher::setEngineSettings({kernel, 0, vantor::cipher::EngineSettings{}.blockBytes});
    std::freopen("/dev/null", "w", stdout);
    const double enc =
        timeOperation(folder, "enc large.bin large.enc 3 4 5", &vantor::app::encrypt);
    const double dec =
        timeOperation(folder, "dec large.enc large.dec 3 4 5", &vantor::app::decrypt);
    std::fflush(stdout);
    dup2(console, STDOUT_FILENO);
    const bool same = fs::file_size(folder / "large.dec") == largeBytes;
    std::printf("%-20s enc %8.1f MB/s   dec %8.1f MB/s%s\n", vantor::cipher::kernelName(kernel),
                static_cast<double>(largeBytes) / 1e6 / enc,
                static_cast<double>(largeBytes) / 1e6 / dec,
                same ? "" : "   (decrypted size differs!)");
  }
  close(console);
  vantor::app::releaseModuleGlobals();
  fs::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <vantor executable> [MiB, default 256]\n", argv[0]);
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
  report(label, runTool(plain, "enc large.bin large.enc 3 4 5\nquit\n"), largeBytes);
  std::snprintf(label, sizeof label, "dec %.0f MiB, no expansion", mebibytes(largeBytes));
  report(label, runTool(plain, "dec large.enc large.dec 3 4 5\nquit\n"), largeBytes);
  const bool same = fs::file_size(plain / "large.dec") == largeBytes;
  fs::remove_all(plain);

  const fs::path expanded = newFolder(tool, "vantor-bench-expanded");
  runTool(expanded, "createsys 10 10 10 h\nquit\n");
  writeRandomFile(expanded / "small.bin", 4 << 20);
  const Run enc = runTool(expanded, "enc small.bin small.enc 3 4 5\nquit\n");
  const std::uint64_t output = fs::file_size(expanded / "small.enc");
  std::snprintf(label, sizeof label, "enc 4 MiB, high expansion (%.0f MiB out)", mebibytes(output));
  report(label, enc, output);
  const Run dec = runTool(expanded, "dec small.enc small.dec 3 4 5\nquit\n");
  report("dec of it (MB/s of its input)", dec, output);
  fs::remove_all(expanded);
  fs::remove_all(large);
  fs::remove_all(empty);
  std::printf("per kernel, %.0f MiB, in process (the application's enc and dec operations):\n",
              mebibytes(largeBytes));
  reportKernels(tool, largeBytes);
  return same ? 0 : 1;
}
