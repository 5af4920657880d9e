// What every fuzz target shares: the runtime's class records, a private
// application folder, and the checks that end a run with a finding.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantor::fuzz {

// Builds the class records the runtime makes at start-up (exceptions, files,
// text encodings); they live for the whole process. Idempotent.
void startRuntime();

// A fresh temporary folder, made the application folder: relative names of
// folder items land in it. Made once; removed when the process ends.
const std::string& applicationFolder();

// Removes every file in the application folder.
void emptyApplicationFolder();
// Writes a file of the application folder.
void writeFile(std::string_view name, std::string_view bytes);

// A failed check: the message goes to standard error and the process aborts,
// which the fuzzer records as a crash with the input that caused it.
[[noreturn]] void fail(const std::string& message);

inline void check(bool condition, const std::string& message) {
  if (!condition) fail(message);
}

// The runtime's counts at one moment: allocator bytes and live objects.
class Balance {
 public:
  Balance();
  // Fails when the counts differ from those at construction, or when an
  // exception was left pending. The conversion cache is emptied first: its
  // references are held on purpose.
  void expectUnchanged(const char* what) const;

 private:
  std::int64_t bytes_;
  std::int64_t objects_;
};

}  // namespace vantor::fuzz
