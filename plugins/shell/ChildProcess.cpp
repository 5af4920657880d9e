#include "ChildProcess.h"

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <utmp.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace vantor::shell {
namespace {

constexpr std::size_t kReadChunk = 512;
constexpr int kExecFailedStatus = 255;

// Children closed while still running, reaped once they end.
std::vector<pid_t>& unreapedChildren() {
  static std::vector<pid_t> children;
  return children;
}

int exitStatus(int waitStatus) { return (waitStatus >> 8) & 0xFF; }

// Taken before forking: the child may only make system calls.
int openFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur > static_cast<rlim_t>(INT_MAX)) {
    return INT_MAX;
  }
  return static_cast<int>(limit.rlim_cur);
}

// Runs in the child; async-signal-safe. close_range needs Linux 5.9.
void closeDescriptorsFrom3(int openFileLimit) {
#ifdef SYS_close_range
  if (syscall(SYS_close_range, 3U, ~0U, 0U) == 0) return;
#endif
  for (int descriptor = 3; descriptor < openFileLimit; ++descriptor) close(descriptor);
}

[[noreturn]] void execBash(const char* commandLine) {
  execlp("/bin/bash", "bash", "-c", commandLine, static_cast<char*>(nullptr));
  _exit(kExecFailedStatus);
}

void switchOffCanonicalInputAndEcho(int terminal) {
  termios settings{};
  if (tcgetattr(terminal, &settings) != 0) return;
  settings.c_lflag &= ~(ICANON | ECHO);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  tcsetattr(terminal, TCSANOW, &settings);
}

// A child runs on the parent's memory until exec (vfork), or on a copy of it
// (fork): a parent's handler run there could free or delete what the parent
// still owns. Signals stay blocked from before the child exists until the
// child has put every handler back to the default.
class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &saved_);
  }
  ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
  SignalsBlocked(const SignalsBlocked&) = delete;
  SignalsBlocked& operator=(const SignalsBlocked&) = delete;

  // Runs in the child; async-signal-safe. Ignored signals stay ignored.
  void restoreDefaultsInChild() const {
    for (int number = 1; number < NSIG; ++number) {
      struct sigaction action {};
      if (sigaction(number, nullptr, &action) != 0) continue;
      const bool handled = (action.sa_flags & SA_SIGINFO) != 0 ||
                           (action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN);
      if (!handled) continue;
      action = {};
      action.sa_handler = SIG_DFL;
      sigaction(number, &action, nullptr);
    }
    sigprocmask(SIG_SETMASK, &saved_, nullptr);
  }

 private:
  sigset_t saved_;
};

}  // namespace

void reapEndedChildren() {
  auto& children = unreapedChildren();
  std::erase_if(children, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

std::optional<Child> startPiped(const std::string& commandLine) {
  reapEndedChildren();
  int ends[2];
  if (pipe(ends) != 0) return std::nullopt;
  // The read end outlives this call in asynchronous mode; keep it out of
  // programs that other parts of the process start.
  fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  const int limit = openFileLimit();
  const char* command = commandLine.c_str();
  const SignalsBlocked blocked;
  const pid_t pid = vfork();
  if (pid == 0) {
    blocked.restoreDefaultsInChild();
    dup2(ends[1], STDOUT_FILENO);
    dup2(ends[1], STDERR_FILENO);
    closeDescriptorsFrom3(limit);
    execBash(command);
  }
  close(ends[1]);
  if (pid < 0) {
    close(ends[0]);
    return std::nullopt;
  }
  return Child{pid, ends[0]};
}

std::optional<Child> startOnPseudoTerminal(const std::string& commandLine) {
  reapEndedChildren();
  int master = -1;
  int slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return std::nullopt;
  // Set before the child exists: input written right after Execute must
  // already meet these settings, or it would be echoed back.
  switchOffCanonicalInputAndEcho(slave);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  const int limit = openFileLimit();
  const SignalsBlocked blocked;
  const pid_t pid = fork();
  if (pid == 0) {
    blocked.restoreDefaultsInChild();
    close(master);
    if (login_tty(slave) != 0) _exit(kExecFailedStatus);
    closeDescriptorsFrom3(limit);
    execBash(commandLine.c_str());
  }
  close(slave);
  if (pid < 0) {
    close(master);
    return std::nullopt;
  }
  return Child{pid, master};
}

std::string readToEnd(int descriptor) {
  std::string bytes;
  char chunk[kReadChunk];
  for (;;) {
    const ssize_t count = read(descriptor, chunk, sizeof chunk);
    if (count > 0) {
      bytes.append(chunk, static_cast<std::size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      return bytes;
    }
  }
}

void writeAll(int descriptor, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = write(descriptor, bytes, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
}

int32_t waitForExitStatus(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  return exitStatus(status);
}

int32_t reapWithoutBlocking(pid_t pid) {
  reapEndedChildren();
  int status = 0;
  pid_t reaped;
  do {
    reaped = waitpid(pid, &status, WNOHANG);
  } while (reaped < 0 && errno == EINTR);
  if (reaped < 0) return errno;
  if (reaped == 0) unreapedChildren().push_back(pid);
  return exitStatus(status);
}

}  // namespace vantor::shell
