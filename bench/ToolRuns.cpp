#include "ToolRuns.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "ModuleGlobals.h"
#include "Operations.h"
#include "files/FolderItemApi.h"
#include "host/HostApi.h"
#include "text/StringHandle.h"

namespace vantor::bench {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

Run waitFor(pid_t child, Clock::time_point start) {
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  Run run;
  run.seconds = secondsSince(start);
  run.peakKiB = usage.ru_maxrss;
  return run;
}

}  // namespace

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
  double firstPrompt = 0;
  std::string seen;
  char buffer[65536];
  bool prompted = false;
  for (;;) {
    const ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    seen.append(buffer, static_cast<std::size_t>(n));
    if (!prompted && seen.find("[Vantor] ") != std::string::npos) {
      prompted = true;
      firstPrompt = secondsSince(start);
      if (write(in[1], input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        std::exit(1);
      close(in[1]);
    }
    if (seen.size() > 4096) seen.erase(0, seen.size() - 64);
  }
  close(out[0]);
  Run run = waitFor(child, start);
  run.firstPromptSeconds = firstPrompt;
  return run;
}

Run runProgram(const fs::path& folder, const std::vector<std::string>& command,
               const fs::path& output) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    const int fd = output.empty() ? open("/dev/null", O_WRONLY)
                                  : open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) _exit(126);
    close(fd);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return waitFor(child, start);
}

bool programExists(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (!folder.empty() && access((fs::path(folder) / name).c_str(), X_OK) == 0) return true;
  }
  return false;
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

void startApplication() {
  RuntimeInitExternalClasses();
  vantor::app::createModuleGlobals();
}

void stopApplication() { vantor::app::releaseModuleGlobals(); }

// The operation prints to standard output, which goes to /dev/null for the
// time of the run.
double timeOperation(const fs::path& folder, const std::string& line, void (*operation)()) {
  RuntimeSetApplicationPath(rt::String(folder.string()).get());
  vantor::app::globals().cmd = rt::String(line);
  vantor::app::systemData(0);
  std::fflush(stdout);
  const int console = dup(STDOUT_FILENO);
  const int nowhere = open("/dev/null", O_WRONLY);
  dup2(nowhere, STDOUT_FILENO);
  close(nowhere);
  const auto start = Clock::now();
  operation();
  const double seconds = secondsSince(start);
  std::fflush(stdout);
  dup2(console, STDOUT_FILENO);
  close(console);
  return seconds;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double mebibytes(std::uint64_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

}  // namespace vantor::bench
