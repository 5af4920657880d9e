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
char executablePath[kPathBufferSize];

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
    if (lstat(executablePath, &status) != 0 || !S_ISLNK(status.st_mode)) return;
    char target[kPathBufferSize] = {};
    if (readlink(executablePath, target, sizeof target - 1) < 0) return;
    // A relative target is taken as it stands, as the path of the next step.
    std::memcpy(executablePath, target, sizeof executablePath);
  }
}

}  // namespace

void setCommandLine(int argc, char** argv) {
  savedArgc = argc;
  savedArgv = argv;
}

int argumentCount() { return savedArgc; }

char** arguments() { return savedArgv; }

std::string applicationFolder() {
  std::string path = savedArgc > 0 && savedArgv[0] != nullptr ? savedArgv[0] : "";
  if (path.empty() || path.front() != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) != nullptr) path = std::string(cwd) + "/" + path;
  }
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace rt::host

using namespace rt::host;

extern "C" {

const char* ResolveExecutablePath(const char* argv0) {
  std::memset(executablePath, 0, sizeof executablePath);
  if (argv0 == nullptr) return nullptr;
  if (std::strchr(argv0, '/') != nullptr) return argv0;

  const std::string command = "which " + shellQuoted(argv0);
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    RuntimeReportFailure(kFailureKindCheck, kFailureAssertion, "../Common/RuntimeMain", 3290,
                         "exeFilePath", nullptr);
    return nullptr;
  }
  if (std::fgets(executablePath, sizeof executablePath, pipe) == nullptr) executablePath[0] = '\0';
  pclose(pipe);
  executablePath[std::strcspn(executablePath, "\n")] = '\0';
  followLinks();
  if (savedArgc > 0) savedArgv[0] = executablePath;
  return executablePath;
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
