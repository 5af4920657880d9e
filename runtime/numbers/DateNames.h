// Weekday and month names and the date separator, taken from the system's
// date command once per name and kept for the process lifetime. Names the
// command does not give fall back to English.
//
// The caches are plain C++ strings, not runtime strings: they live as long as
// the process and stay out of the runtime allocator's accounting.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace rt::dates {

enum class NameForm { Full, Abbreviated };

class DateNames {
 public:
  // Runs a shell command and returns its output ("" for none).
  using CommandRunner = std::string (*)(const char* command);

  explicit DateNames(CommandRunner run) : run_(run) {}

  // The process-wide names, from the date command run through /bin/sh.
  static DateNames& system();

  // weekday 0 = Sunday to 6; month 0 = January to 11.
  const std::string& weekday(std::int32_t weekday, NameForm form);
  const std::string& month(std::int32_t month, NameForm form);
  // '.' when the system writes dates with dots, else '/'.
  char separator();

 private:
  const std::string& name(std::string& slot, const char* pattern, std::int32_t argument,
                          const char* fallback);

  CommandRunner run_;
  std::array<std::string, 7> weekdays_;
  std::array<std::string, 7> weekdaysShort_;
  std::array<std::string, 12> months_;
  std::array<std::string, 12> monthsShort_;
  char separator_ = 0;
};

}  // namespace rt::dates
