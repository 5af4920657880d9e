// Runs a program as a child process with piped standard streams and a
// deadline, for the tests that need a whole process.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace rt::test {

struct ProcessLaunch {
  std::string program;
  std::vector<std::string> arguments;  // argv, element 0 included
  std::string input;                   // written to standard input, then closed
  std::string workingDirectory;        // empty: the test's own
  std::vector<std::pair<std::string, std::string>> environment;  // added or replaced
  std::vector<std::string> unsetEnvironment;
  // When standard output first contains the marker, the signal is sent
  // (signalDelay later); standard input stays open until then.
  std::string signalMarker;
  int signalNumber = 0;
  std::chrono::microseconds signalDelay{0};
  std::chrono::seconds deadline{30};
};

struct ProcessResult {
  bool exited = false;
  int status = -1;
  int signal = 0;  // the signal that ended the process, if one did
  bool timedOut = false;
  std::string out;
  std::string err;
};

ProcessResult runProcess(const ProcessLaunch& launch);

}  // namespace rt::test
