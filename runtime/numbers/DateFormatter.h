// The runtime's own date formatter, a strftime of its own that takes names
// from DateNames and dates from the runtime's calendar.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "numbers/DateNames.h"

namespace rt::dates {

// The fields a pattern is formatted from; month is 0-based, and the date must
// be normalised (month 0 to 11, day within the month).
struct DateFields {
  std::int32_t year;
  std::int32_t month;
  std::int32_t day;
  std::int32_t hour;
  std::int32_t minute;
  std::int32_t second;
};

// Formats pattern; an unknown conversion writes "Error in TimeSprintf() ".
// A result that does not fit the 1024-byte work buffer gives "".
std::string timeSprintf(std::string_view pattern, const DateFields& fields, DateNames& names);

}  // namespace rt::dates
