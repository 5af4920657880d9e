// Runs a program with some of its standard streams on a pseudo-terminal, for
// the tests of what a person at a terminal meets (line editing, the progress
// line); the other streams are pipes.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rt::test {

struct TerminalLaunch {
  std::string program;
  std::vector<std::string> arguments;  // argv, element 0 included
  std::string workingDirectory;
  std::vector<std::pair<std::string, std::string>> environment;  // added or replaced
  std::vector<std::string> unsetEnvironment;
  bool inputOnTerminal = true;
  bool outputOnTerminal = true;
  bool errorOnTerminal = true;
  std::string pipedInput;  // written to a piped standard input, then closed
};

struct TerminalResult {
  bool exited = false;
  int status = -1;
  std::string terminal;  // everything the program wrote to the terminal
  std::string out;       // standard output when piped
  std::string err;       // standard error when piped
};

class TerminalProcess {
 public:
  explicit TerminalProcess(const TerminalLaunch& launch);
  // Kills the program if it still runs.
  ~TerminalProcess();
  TerminalProcess(const TerminalProcess&) = delete;
  TerminalProcess& operator=(const TerminalProcess&) = delete;

  // Sends the bytes as keys typed at the terminal.
  void type(std::string_view keys);
  // Waits until the terminal shows text after what earlier waits found;
  // false when the deadline passes or the program closes the terminal.
  bool waitFor(std::string_view text, std::chrono::seconds deadline = std::chrono::seconds(30));
  // Waits until the program reads keys one at a time, as a line editor does,
  // rather than whole lines: keys typed before that would be taken by the
  // terminal's own line mode.
  bool waitForKeyReading(std::chrono::seconds deadline = std::chrono::seconds(30));
  void signal(int number);
  // Reads to the end of every output and waits for the program to end.
  TerminalResult finish(std::chrono::seconds deadline = std::chrono::seconds(60));

 private:
  // One poll of every open output, for at most the time given; false when
  // nothing came.
  bool pump(std::chrono::milliseconds wait);

  pid_t child_ = -1;
  int terminal_ = -1;  // the controlling side
  int output_ = -1;
  int error_ = -1;
  TerminalResult result_;
  std::size_t found_ = 0;  // where the next waitFor starts looking
};

}  // namespace rt::test
