#include "numbers/DateCalendar.h"

#include <array>

namespace rt::dates {
namespace {

constexpr std::array<std::int32_t, 12> kMonthLengths{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The day number 15 October 1582 would have without the ten dropped days.
constexpr std::int64_t kGregorianStart = 577738;
constexpr std::int32_t kDroppedDays = 10;
constexpr std::int32_t kGregorianReformYear = 1582;
constexpr std::int32_t kOctober = 9;
constexpr std::int32_t kFirstDroppedDay = 5;
constexpr std::int32_t kLastDroppedDay = 14;

bool isDroppedDay(const CalendarDate& date) {
  return date.year == kGregorianReformYear && date.month == kOctober &&
         date.day >= kFirstDroppedDay && date.day <= kLastDroppedDay;
}

std::int32_t yearLength(std::int32_t year) { return isLeapYear(year) ? 366 : 365; }

}  // namespace

bool isLeapYear(std::int32_t year) {
  if (year % 4 != 0) return false;
  if (year < kGregorianReformYear) return true;
  return year % 100 != 0 || year % 400 == 0;
}

std::int32_t monthLength(std::int32_t month, std::int32_t year) {
  return month == 1 && isLeapYear(year) ? 29 : kMonthLengths[static_cast<std::size_t>(month)];
}

std::int64_t dayNumber(const CalendarDate& date) {
  if (date.month < 0 || date.month > 11 || date.year < 1 || date.day < 1 ||
      date.day > monthLength(date.month, date.year) || isDroppedDay(date)) {
    return kInvalidDayNumber;
  }
  const std::int64_t y1 = date.year - 1;
  // The +12 makes the Gregorian count meet the Julian one in 1583.
  std::int64_t n = y1 < 1583 ? 365 * y1 + y1 / 4 : 365 * y1 + y1 / 4 - y1 / 100 + y1 / 400 + 12;
  for (std::int32_t month = 0; month < date.month; ++month) n += monthLength(month, date.year);
  n += date.day;
  if (n >= kGregorianStart) n -= kDroppedDays;
  return n;
}

CalendarDate dateOfDayNumber(std::int64_t dayNumber) {
  const std::int64_t days = dayNumber + (dayNumber < kGregorianStart ? 0 : kDroppedDays);
  std::int64_t y = days / 365;
  std::int64_t rest = days % 365 - y / 4;
  if (y > 1699) rest += y / 100 - y / 400 - 12;
  // The leap-day estimate above may overshoot; step back by the length of the
  // year being stepped into (year y + 1 after the decrement).
  while (rest < 1) {
    --y;
    rest += yearLength(static_cast<std::int32_t>(y + 1));
  }
  CalendarDate date{static_cast<std::int32_t>(y + 1), 0, 0};
  while (rest > monthLength(date.month, date.year)) {
    rest -= monthLength(date.month, date.year);
    ++date.month;
  }
  date.day = static_cast<std::int32_t>(rest);
  return date;
}

std::int32_t weekdayOf(std::int64_t dayNumber) {
  return static_cast<std::int32_t>((dayNumber % 7 + 5) % 7);
}

std::int32_t dayOfYear(const CalendarDate& date) {
  return static_cast<std::int32_t>(dayNumber(date) - dayNumber({date.year, 0, 1}) + 1);
}

}  // namespace rt::dates
