// A fresh working folder with the vantor executable linked into it, so that
// the tool's relative names (its key system files) land there, and helpers
// to run a session in it and to build the transcript it should print.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/ProcessRunner.h"
#include "support/TempFolder.h"

namespace vantor::test {

// One line typed at the prompt and what the tool prints for it.
struct Exchange {
  std::string line;
  std::string output;
};

inline const std::string kPrompt = "[Vantor] \n";
// What a successful createsys prints at the prompt.
inline const std::string kCreated =
    "Generating Key Component 1\nThis might take awhile...\n \nGenerating Key Component 2\n"
    "Generating Key Component 3\nSystem Created.\n \n";
inline const std::string kTerminated =
    "=== Vantor Encryption for Linux CLI v1.5.0 Terminated ===\n \n";
inline const std::string kNotLoaded =
    "A System is not loaded.  Please issue ressys or createsys.\n";

// The banner and the key system state line printed at start.
std::string banner(bool systemReady);

// Everything a session prints: the banner, then a prompt and the output for
// each exchange, then the prompt and termination of the final quit.
std::string transcript(bool systemReady, const std::vector<Exchange>& exchanges);

// The lines typed in a session of these exchanges, ending with quit.
std::string typedLines(const std::vector<Exchange>& exchanges);

// Lines joined, each ended by a line feed.
std::string lines(const std::vector<std::string>& text);

class VantorFolder {
 public:
  VantorFolder();

  // Runs the tool in the folder with input on its standard input and the
  // words after the program path on its command line.
  rt::test::ProcessResult run(const std::string& input,
                              const std::vector<std::string>& words = {}) const;
  // Runs it with input, sending the signal delay after standard output first
  // shows marker (standard input stays open until then).
  rt::test::ProcessResult runAndSignal(const std::string& input, const std::string& marker,
                                       int signalNumber, std::chrono::microseconds delay) const;
  // Runs a session of the exchanges (and quit); returns standard output.
  std::string session(const std::vector<Exchange>& exchanges) const;
  // Expects the session of the exchanges to print their transcript.
  void expectSession(bool ready, const std::vector<Exchange>& exchanges) const;
  // Creates a key system, "createsys " followed by parameters.
  void createSystem(const std::string& parameters = "3 4 5 n") const;

  std::string path(std::string_view name) const { return folder_ / std::string(name); }
  void write(std::string_view name, std::string_view bytes) const;
  std::string read(std::string_view name) const;
  bool exists(std::string_view name) const;
  // The permission bits of a file, or -1 if it cannot be examined.
  int permissions(std::string_view name) const;
  // The names in the folder or in subfolder, sorted, without the tool and
  // its plugin folder.
  std::vector<std::string> fileNames(std::string_view subfolder = "") const;
  // What a run may leave behind that it should not: temporary files (hidden
  // names) in the folder or in subfolder, and extracted plugins.
  std::vector<std::string> leftovers(std::string_view subfolder = "") const;

 private:
  rt::test::ProcessLaunch launch(const std::string& input,
                                 const std::vector<std::string>& words) const;

  rt::test::TempFolder folder_;
};

// A test in a fresh folder.
class VantorTest : public ::testing::Test {
 protected:
  VantorFolder folder;
};

// Limits the size of every file written while it lives (also by the tool
// started meanwhile), as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
};

// A delay for a signal at a random moment of a run that takes up to longest:
// spread evenly over the orders of magnitude from 10 microseconds on, so the
// first instants of the run are hit as often as its later stretches.
std::chrono::microseconds randomDelay(std::mt19937& dice, std::chrono::microseconds longest);

// A file of tests/e2e/expected.
std::string expectedText(std::string_view name);

// The lines of a text file without their line feeds.
std::vector<std::string> splitLines(const std::string& text);

}  // namespace vantor::test
