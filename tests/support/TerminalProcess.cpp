#include "support/TerminalProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace rt::test {
namespace {

using Clock = std::chrono::steady_clock;

struct Pipe {
  int read = -1;
  int write = -1;
};

Pipe makePipe(bool wanted) {
  int ends[2] = {-1, -1};
  if (wanted && pipe(ends) != 0) return {};
  return {ends[0], ends[1]};
}

void closeIfOpen(int& descriptor) {
  if (descriptor >= 0) close(descriptor);
  descriptor = -1;
}

// In the child: a session of its own with the terminal as its controlling
// terminal, so that job-control keys and the editor's signal handling behave
// as at a real one.
[[noreturn]] void execChild(const TerminalLaunch& launch, int terminal, Pipe in, Pipe out,
                            Pipe err) {
  setsid();
  ioctl(terminal, TIOCSCTTY, 0);
  dup2(launch.inputOnTerminal ? terminal : in.read, STDIN_FILENO);
  dup2(launch.outputOnTerminal ? terminal : out.write, STDOUT_FILENO);
  dup2(launch.errorOnTerminal ? terminal : err.write, STDERR_FILENO);
  for (int descriptor : {terminal, in.read, in.write, out.read, out.write, err.read, err.write}) {
    if (descriptor > STDERR_FILENO) close(descriptor);
  }
  if (!launch.workingDirectory.empty() && chdir(launch.workingDirectory.c_str()) != 0) _exit(126);
  for (const auto& [name, value] : launch.environment) setenv(name.c_str(), value.c_str(), 1);
  for (const std::string& name : launch.unsetEnvironment) unsetenv(name.c_str());
  std::vector<char*> argv;
  for (const std::string& argument : launch.arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  execv(launch.program.c_str(), argv.data());
  _exit(127);
}

// Appends what is there; closes the descriptor at its end (EIO on a
// terminal whose other side is closed).
void drain(int& descriptor, std::string& into) {
  char buffer[4096];
  const ssize_t n = read(descriptor, buffer, sizeof buffer);
  if (n > 0) {
    into.append(buffer, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
    closeIfOpen(descriptor);
  }
}

}  // namespace

TerminalProcess::TerminalProcess(const TerminalLaunch& launch) {
  int terminal = -1;
  winsize size{24, 80, 0, 0};
  if (openpty(&terminal_, &terminal, nullptr, nullptr, &size) != 0) return;
  Pipe in = makePipe(!launch.inputOnTerminal);
  Pipe out = makePipe(!launch.outputOnTerminal);
  Pipe err = makePipe(!launch.errorOnTerminal);
  std::signal(SIGPIPE, SIG_IGN);
  child_ = fork();
  if (child_ == 0) execChild(launch, terminal, in, out, err);
  for (int* descriptor : {&terminal, &in.read, &out.write, &err.write}) closeIfOpen(*descriptor);
  output_ = out.read;
  error_ = err.read;
  for (int descriptor : {terminal_, output_, error_}) {
    if (descriptor >= 0) fcntl(descriptor, F_SETFL, O_NONBLOCK);
  }
  // Session inputs are far below a pipe's capacity: written at once.
  if (in.write >= 0) {
    std::size_t written = 0;
    while (written < launch.pipedInput.size()) {
      const ssize_t n =
          write(in.write, launch.pipedInput.data() + written, launch.pipedInput.size() - written);
      if (n <= 0) break;
      written += static_cast<std::size_t>(n);
    }
    closeIfOpen(in.write);
  }
}

TerminalProcess::~TerminalProcess() {
  if (child_ > 0) {
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
  }
  for (int* descriptor : {&terminal_, &output_, &error_}) closeIfOpen(*descriptor);
}

void TerminalProcess::type(std::string_view keys) {
  while (!keys.empty() && terminal_ >= 0) {
    const ssize_t n = write(terminal_, keys.data(), keys.size());
    if (n < 0 && errno == EAGAIN) {
      pump(std::chrono::milliseconds(10));
      continue;
    }
    if (n <= 0) return;
    keys.remove_prefix(static_cast<std::size_t>(n));
  }
}

bool TerminalProcess::waitFor(std::string_view text, std::chrono::seconds deadline) {
  const auto end = Clock::now() + deadline;
  while (true) {
    const auto at = result_.terminal.find(text, found_);
    if (at != std::string::npos) {
      found_ = at + text.size();
      return true;
    }
    if (terminal_ < 0 || Clock::now() >= end) return false;
    pump(std::chrono::milliseconds(50));
  }
}

bool TerminalProcess::waitForKeyReading(std::chrono::seconds deadline) {
  const auto end = Clock::now() + deadline;
  termios modes{};
  while (terminal_ >= 0 && Clock::now() < end) {
    if (tcgetattr(terminal_, &modes) == 0 && (modes.c_lflag & ICANON) == 0) return true;
    pump(std::chrono::milliseconds(5));
  }
  return false;
}

void TerminalProcess::signal(int number) {
  if (child_ > 0) kill(child_, number);
}

bool TerminalProcess::pump(std::chrono::milliseconds wait) {
  pollfd fds[3] = {{terminal_, POLLIN, 0}, {output_, POLLIN, 0}, {error_, POLLIN, 0}};
  if (poll(fds, 3, static_cast<int>(wait.count())) <= 0) return false;
  if (fds[0].revents != 0) drain(terminal_, result_.terminal);
  if (fds[1].revents != 0) drain(output_, result_.out);
  if (fds[2].revents != 0) drain(error_, result_.err);
  return true;
}

TerminalResult TerminalProcess::finish(std::chrono::seconds deadline) {
  const auto end = Clock::now() + deadline;
  int status = 0;
  bool ended = child_ <= 0;
  // The terminal stays open as long as this side holds it: the program's
  // end, not the terminal's, says when everything has been written.
  while (!ended && Clock::now() < end) {
    pump(std::chrono::milliseconds(20));
    ended = waitpid(child_, &status, WNOHANG) == child_;
  }
  if (!ended) {
    kill(child_, SIGKILL);
    waitpid(child_, &status, 0);
  }
  child_ = -1;
  while ((terminal_ >= 0 || output_ >= 0 || error_ >= 0) && pump(std::chrono::milliseconds(200))) {
  }
  result_.exited = ended && WIFEXITED(status);
  result_.status = result_.exited ? WEXITSTATUS(status) : -1;
  return result_;
}

}  // namespace rt::test
