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
  if (std::strchr(argv0, '/') != nullptr) return argv0;

  const std::string command = "which " + shellQuoted(argv0);
  // The shell runs which on the quoted name: no other word reaches it.
  std::FILE* pipe = popen(command.c_str(), "r");  // NOLINT(cert-env33-c)
  if (pipe == nullptr) {
    RuntimeReportFailure(kFailureKindCheck, kFailureAssertion, "../Common/RuntimeMain", 3290,
                         "exeFilePath", nullptr);
    return nullptr;
  }
  if (std::fgets(resolvedPath, sizeof resolvedPath, pipe) == nullptr) resolvedPath[0] = '\0';
  pclose(pipe);
  resolvedPath[std::strcspn(resolvedPath, "\n")] = '\0';
  followLinks();
  if (savedArgc > 0) savedArgv[0] = resolvedPath;
  return resolvedPath;
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
