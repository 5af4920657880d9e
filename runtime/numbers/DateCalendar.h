// Calendar arithmetic of dates: the leap rule, month lengths and day numbers.
// The calendar is Julian up to 4 October 1582 and Gregorian from 15 October
// 1582; the ten days between were never part of it.
#pragma once

#include <cstdint>

namespace rt::dates {

// A calendar date with a 0-based month (0 = January) and the full year.
struct CalendarDate {
  std::int32_t year;
  std::int32_t month;
  std::int32_t day;
};

// The day number of dates that do not exist.
inline constexpr std::int64_t kInvalidDayNumber = -1;

bool isLeapYear(std::int64_t year);
// Days in a month (0-based) of the year; month must be 0 to 11.
std::int32_t monthLength(std::int32_t month, std::int64_t year);

// A date being carried: its year may run past the int32 range.
struct CarriedDate {
  std::int64_t year;
  std::int32_t month;
  std::int32_t day;
};

// The date day - 1 days after the first of month (0-based, any value, whole
// years carried into the year), with months as long as the leap rule makes
// them: the date that carrying a month at a time reaches. October 1582 keeps
// all its 31 days here.
CarriedDate carryDate(std::int64_t year, std::int64_t month, std::int64_t day);

// Days since the start of the calendar: 1 January of year 1 is day 1. A date
// outside its month, before year 1 or in the skipped October days gives
// kInvalidDayNumber.
std::int64_t dayNumber(const CalendarDate& date);
// The date of a day number of at least 1.
CalendarDate dateOfDayNumber(std::int64_t dayNumber);

// 0 = Sunday.
std::int32_t weekdayOf(std::int64_t dayNumber);
// 1-based day within the date's year.
std::int32_t dayOfYear(const CalendarDate& date);

}  // namespace rt::dates
