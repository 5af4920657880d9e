#include "files/CommandRunner.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace rt::files {

int runCommand(std::initializer_list<const char*> arguments) {
  std::vector<char*> argv;
  for (const char* argument : arguments) argv.push_back(const_cast<char*>(argument));
  argv.push_back(nullptr);

  pid_t child = 0;
  const int spawnError = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
  if (spawnError != 0) return spawnError;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  // The command explains its failure on standard error; the caller only
  // learns that it failed.
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : EIO;
}

}  // namespace rt::files
