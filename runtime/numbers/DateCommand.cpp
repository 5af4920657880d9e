#include "numbers/DateCommand.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rt::dates {
namespace {

constexpr std::size_t kReadPiece = 512;

// True when the child ended with status 0, or was already reaped by someone
// else (its output is then all there is to go by).
bool succeeded(pid_t child) {
  int status = 0;
  pid_t waited;
  do {
    waited = waitpid(child, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited < 0) return true;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::string commandOutput(const char* command) {
  int ends[2];
  // Close-on-exec keeps both ends out of every other child; the file actions
  // give the command its own inheritable copies of the write end.
  if (pipe2(ends, O_CLOEXEC) != 0) return {};
  // posix_spawn, not a bare vfork: the child resets the runtime's signal
  // handlers before it can run them on the parent's memory.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
  char* const arguments[] = {const_cast<char*>("sh"), const_cast<char*>("-c"),
                             const_cast<char*>(command), nullptr};
  pid_t child = 0;
  const int spawnError = posix_spawn(&child, "/bin/sh", &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawnError != 0) {
    close(ends[0]);
    close(ends[1]);
    return {};
  }
  close(ends[1]);
  std::string output;
  char piece[kReadPiece];
  for (;;) {
    const ssize_t got = read(ends[0], piece, sizeof piece);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    output.append(piece, static_cast<std::size_t>(got));
  }
  close(ends[0]);
  // A failing command writes its complaint, not a name: that is no output.
  if (!succeeded(child)) return {};
  return output;
}

}  // namespace rt::dates
