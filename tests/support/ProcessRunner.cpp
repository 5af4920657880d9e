#include "support/ProcessRunner.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <optional>
#include <thread>
#include <unistd.h>

namespace rt::test {
namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void execChild(const ProcessLaunch& launch, int in[2], int out[2], int err[2]) {
  dup2(in[0], STDIN_FILENO);
  dup2(out[1], STDOUT_FILENO);
  dup2(err[1], STDERR_FILENO);
  for (int* pipe : {in, out, err}) {
    close(pipe[0]);
    close(pipe[1]);
  }
  if (!launch.workingDirectory.empty() && chdir(launch.workingDirectory.c_str()) != 0) _exit(126);
  for (const auto& [name, value] : launch.environment) setenv(name.c_str(), value.c_str(), 1);
  for (const std::string& name : launch.unsetEnvironment) unsetenv(name.c_str());
  std::vector<char*> argv;
  for (const std::string& argument : launch.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execv(launch.program.c_str(), argv.data());
  _exit(127);
}

bool drain(int& descriptor, std::string& into) {
  char buffer[4096];
  const ssize_t n = read(descriptor, buffer, sizeof buffer);
  if (n > 0) {
    into.append(buffer, static_cast<std::size_t>(n));
    return true;
  }
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
  close(descriptor);
  descriptor = -1;
  return false;
}

void closePipes(std::initializer_list<int*> pipes) {
  for (int* pipe : pipes) {
    for (int i : {0, 1}) {
      if (pipe[i] >= 0) close(pipe[i]);
    }
  }
}

// A child may close its output and go on running: it is reaped by the
// deadline too, killed if it must be.
int reap(pid_t child, Clock::time_point deadline, ProcessResult& result) {
  int status = 0;
  while (true) {
    const pid_t reaped = waitpid(child, &status, WNOHANG);
    if (reaped == child || (reaped < 0 && errno != EINTR)) return status;
    if (Clock::now() >= deadline) {
      result.timedOut = true;
      kill(child, SIGKILL);
      while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
      return status;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

ProcessResult runProcess(const ProcessLaunch& launch) {
  int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) {
    closePipes({in, out, err});
    return {};
  }
  const pid_t child = fork();
  if (child < 0) {
    closePipes({in, out, err});
    return {};
  }
  if (child == 0) execChild(launch, in, out, err);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  for (int descriptor : {in[1], out[0], err[0]}) fcntl(descriptor, F_SETFL, O_NONBLOCK);

  ProcessResult result;
  int input = in[1], output = out[0], error = err[0];
  std::size_t written = 0;
  bool signalled = launch.signalMarker.empty();
  std::optional<Clock::time_point> signalAt;
  const auto deadline = Clock::now() + launch.deadline;
  std::signal(SIGPIPE, SIG_IGN);

  while (output >= 0 || error >= 0) {
    if (signalAt && Clock::now() >= *signalAt) {
      kill(child, launch.signalNumber);
      signalAt.reset();
      signalled = true;
    }
    if (input >= 0 && written == launch.input.size() && signalled) {
      close(input);
      input = -1;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      kill(child, SIGKILL);
      break;
    }
    // A signal due wakes the wait in time; ppoll takes microseconds.
    const Clock::duration wait =
        signalAt ? std::clamp<Clock::duration>(*signalAt - Clock::now(), {}, left) : left;
    const timespec timeout{
        static_cast<time_t>(std::chrono::duration_cast<std::chrono::seconds>(wait).count()),
        static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count() %
                          1000000000)};
    pollfd fds[3] = {{output, POLLIN, 0}, {error, POLLIN, 0},
                     {written < launch.input.size() ? input : -1, POLLOUT, 0}};
    if (ppoll(fds, 3, &timeout, nullptr) < 0 && errno != EINTR) break;
    if (fds[0].revents != 0) drain(output, result.out);
    if (fds[1].revents != 0) drain(error, result.err);
    if (fds[2].revents != 0) {
      const ssize_t n = write(input, launch.input.data() + written, launch.input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      else if (n < 0 && errno != EAGAIN) written = launch.input.size();
    }
    if (!signalled && !signalAt && result.out.find(launch.signalMarker) != std::string::npos) {
      signalAt = Clock::now() + launch.signalDelay;
    }
  }
  for (int descriptor : {input, output, error}) {
    if (descriptor >= 0) close(descriptor);
  }
  const int status = reap(child, deadline, result);
  result.exited = WIFEXITED(status);
  result.status = result.exited ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return result;
}

}  // namespace rt::test
