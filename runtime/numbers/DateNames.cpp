#include "numbers/DateNames.h"

#include <cstdio>
#include <string_view>

#include "numbers/DateCommand.h"

namespace rt::dates {
namespace {

constexpr std::array<const char*, 7> kWeekdays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                               "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 7> kWeekdaysShort{"Sun", "Mon", "Tue", "Wed",
                                                    "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths{"January", "February", "March",     "April",
                                              "May",     "June",     "July",      "August",
                                              "September", "October", "November", "December"};
constexpr std::array<const char*, 12> kMonthsShort{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// 1 January 1995 was a Sunday, so day w + 1 of that month has weekday w.
constexpr const char* kWeekdayCommand = "date -d\"1995-01-%d\" +%%A";
constexpr const char* kWeekdayShortCommand = "date -d\"1995-01-%d\" +%%a";
constexpr const char* kMonthCommand = "date -d\"2005-%d-01\" +%%B";
constexpr const char* kMonthShortCommand = "date -d\"2005-%d-01\" +%%b";
constexpr const char* kSeparatorCommand = "date +%x";

// The command ends its output with a line end, which is no part of the name.
std::string trimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\f\v";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(kSpace) - first + 1));
}

}  // namespace

DateNames& DateNames::system() {
  static DateNames names(&commandOutput);
  return names;
}

const std::string& DateNames::weekday(std::int32_t weekday, NameForm form) {
  const auto i = static_cast<std::size_t>(weekday);
  if (form == NameForm::Full) return name(weekdays_[i], kWeekdayCommand, weekday + 1, kWeekdays[i]);
  return name(weekdaysShort_[i], kWeekdayShortCommand, weekday + 1, kWeekdaysShort[i]);
}

const std::string& DateNames::month(std::int32_t month, NameForm form) {
  const auto i = static_cast<std::size_t>(month);
  if (form == NameForm::Full) return name(months_[i], kMonthCommand, month + 1, kMonths[i]);
  return name(monthsShort_[i], kMonthShortCommand, month + 1, kMonthsShort[i]);
}

char DateNames::separator() {
  if (separator_ == 0) {
    separator_ = trimmed(run_(kSeparatorCommand)).find('.') != std::string::npos ? '.' : '/';
  }
  return separator_;
}

const std::string& DateNames::name(std::string& slot, const char* pattern, std::int32_t argument,
                                   const char* fallback) {
  if (slot.empty()) {
    char command[64];
    (void)std::snprintf(command, sizeof command, pattern, argument);
    slot = trimmed(run_(command));
    if (slot.empty()) slot = fallback;
  }
  return slot;
}

}  // namespace rt::dates
