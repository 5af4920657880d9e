#include "host/CommandLine.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "host/FailureReport.h"
#include "host/HostApi.h"
#include "text/StringApi.h"

namespace rt::host {
namespace {

constexpr std::size_t kPathBufferSize = 2048;
// A cycle of symbolic links must not hang start-up.
constexpr int kMaximumLinks = 40;

int savedArgc = 0;
char** savedArgv = nullptr;
char resolvedPath[kPathBufferSize];
// A relative argv[0] names the program relative to this directory, even
// after the program changes its current directory.
std::string startDirectory;

// Single quotes keep the shell from interpreting the program name.
std::string shellQuoted(const char* text) {
  std::string quoted = "'";
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\'') quoted += "'\\''";
    else quoted += *c;
  }
  return quoted + "'";
}

bool isExistingFile(const char* path) {
  struct stat status {};
  return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

void followLinks() {
  for (int links = 0; links < kMaximumLinks; ++links) {
    struct stat status {};
    if (lstat(resolvedPath, &status) != 0 || !S_ISLNK(status.st_mode)) return;
    char target[kPathBufferSize] = {};
    if (readlink(resolvedPath, target, sizeof target - 1) < 0) return;
    // A relative target is taken as it stands, as the path of the next step.
    std::memcpy(resolvedPath, target, sizeof resolvedPath);
  }
}

// Looks a bare program name up on the search path, following the chain of
// links from what which names; false when the shell cannot be started.
bool searchPath(const char* name) {
  const std::string command = "which " + shellQuoted(name);
  // The shell runs which on the quoted name: no other word reaches it.
  std::FILE* pipe = popen(command.c_str(), "r");  // NOLINT(cert-env33-c)
  if (pipe == nullptr) return false;
  if (std::fgets(resolvedPath, sizeof resolvedPath, pipe) == nullptr) resolvedPath[0] = '\0';
  pclose(pipe);
  resolvedPath[std::strcspn(resolvedPath, "\n")] = '\0';
  followLinks();
  return true;
}

// The kernel's own record of the running executable, for a program started
// under a name that leads to no file (a launcher passing a bare name, a PATH
// without the program's folder); false when it names no file either.
bool readRunningExecutable() {
  char target[kPathBufferSize] = {};
  if (readlink("/proc/self/exe", target, sizeof target - 1) <= 0 || !isExistingFile(target)) {
    return false;
  }
  std::memcpy(resolvedPath, target, sizeof resolvedPath);
  return true;
}

// Later users of argv, the application folder and Run's arguments among
// them, see the path start-up resolved.
const char* replaceProgramName() {
  if (savedArgc > 0) savedArgv[0] = resolvedPath;
  return resolvedPath;
}

}  // namespace

void setCommandLine(int argc, char** argv) {
  savedArgc = argc;
  savedArgv = argv;
  char cwd[4096];
  startDirectory = getcwd(cwd, sizeof cwd) != nullptr ? cwd : "";
}

int argumentCount() { return savedArgc; }

char** arguments() { return savedArgv; }

std::string executablePath() {
  std::string path = savedArgc > 0 && savedArgv[0] != nullptr ? savedArgv[0] : "";
  if (path.starts_with('/')) return path;
  std::string directory = startDirectory;
  if (directory.empty()) {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) != nullptr) directory = cwd;
  }
  return directory + "/" + path;
}

std::string applicationFolder() {
  const std::string path = executablePath();
  return path.substr(0, path.rfind('/'));
}

}  // namespace rt::host

using namespace rt::host;

extern "C" {

const char* ResolveExecutablePath(const char* argv0) {
  std::memset(resolvedPath, 0, sizeof resolvedPath);
  if (argv0 == nullptr) return nullptr;
  const bool hasSlash = std::strchr(argv0, '/') != nullptr;
  if (hasSlash && isExistingFile(argv0)) return argv0;
  const bool searched = !hasSlash && searchPath(argv0);
  if (searched && isExistingFile(resolvedPath)) return replaceProgramName();

  if (readRunningExecutable()) return replaceProgramName();
  if (hasSlash) return argv0;
  if (!searched) {
    RuntimeReportFailure(kFailureKindCheck, kFailureAssertion, "../Common/RuntimeMain", 3290,
                         "exeFilePath", nullptr);
    return nullptr;
  }
  return replaceProgramName();
}

RTString SystemGetCommandLine(void) {
  static RTString commandLine = [] {
    std::string joined;
    for (int i = 0; i < savedArgc; ++i) {
      if (i > 0) joined += ' ';
      joined += savedArgv[i];
    }
    return StringFromCString(joined.c_str());
  }();
  RuntimeLockString(commandLine);
  return commandLine;
}

char** TOLVGetCommandLineForUnix(void) { return savedArgv; }

}  // extern "C"
