#include "numbers/DateCalendar.h"

#include <algorithm>
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

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days from 1 January of year 1 to 1 January of the year by the leap rule
// alone (negative before year 1).
std::int64_t daysBeforeYear(std::int64_t year) {
  const std::int64_t y1 = year - 1;
  // The +12 makes the Gregorian count meet the Julian one in 1583.
  return y1 < 1583 ? 365 * y1 + floorDiv(y1, 4) : 365 * y1 + y1 / 4 - y1 / 100 + y1 / 400 + 12;
}

std::int64_t daysBeforeMonth(std::int32_t month, std::int64_t year) {
  std::int64_t days = daysBeforeYear(year);
  for (std::int32_t m = 0; m < month; ++m) days += monthLength(m, year);
  return days;
}

// Leap years repeat every 4 years up to 1600 and every 400 from 1601 on, so
// whole cycles are counted off before the years of the last one.
constexpr std::int64_t kJulianCycleDays = 4 * 365 + 1;
constexpr std::int64_t kGregorianCycleDays = 400 * 365 + 97;
constexpr std::int64_t kGregorianCentury = 100 * 365 + 24;
constexpr std::int64_t kFirstGregorianCycle = 1601;

}  // namespace

bool isLeapYear(std::int64_t year) {
  if (year % 4 != 0) return false;
  if (year < kGregorianReformYear) return true;
  return year % 100 != 0 || year % 400 == 0;
}

std::int32_t monthLength(std::int32_t month, std::int64_t year) {
  return month == 1 && isLeapYear(year) ? 29 : kMonthLengths[static_cast<std::size_t>(month)];
}

std::int64_t dayNumber(const CalendarDate& date) {
  if (date.month < 0 || date.month > 11 || date.year < 1 || date.day < 1 ||
      date.day > monthLength(date.month, date.year) || isDroppedDay(date)) {
    return kInvalidDayNumber;
  }
  std::int64_t n = daysBeforeMonth(date.month, date.year) + date.day;
  if (n >= kGregorianStart) n -= kDroppedDays;
  return n;
}

CarriedDate carryDate(std::int64_t year, std::int64_t month, std::int64_t day) {
  // Carrying a month at a time keeps "first of the month + day - 1" the same
  // day, so that day can be found directly.
  const std::int64_t years = floorDiv(month, 12);
  CarriedDate date{year + years, static_cast<std::int32_t>(month - years * 12), 0};
  std::int64_t rest = daysBeforeMonth(date.month, date.year) + day - 1;
  const std::int64_t gregorianStart = daysBeforeYear(kFirstGregorianCycle);
  if (rest >= gregorianStart) {
    rest -= gregorianStart;
    date.year = kFirstGregorianCycle + 400 * (rest / kGregorianCycleDays);
    rest %= kGregorianCycleDays;
    // The last century of a cycle has the extra leap day.
    const std::int64_t centuries = std::min<std::int64_t>(rest / kGregorianCentury, 3);
    rest -= centuries * kGregorianCentury;
    date.year += 100 * centuries + 4 * (rest / kJulianCycleDays);
    rest %= kJulianCycleDays;
  } else {
    const std::int64_t cycles = floorDiv(rest, kJulianCycleDays);
    date.year = 1 + 4 * cycles;
    rest -= cycles * kJulianCycleDays;
  }
  // The leap year, when there is one, is the last of the four.
  const std::int64_t inCycle = std::min<std::int64_t>(rest / 365, 3);
  date.year += inCycle;
  rest -= 365 * inCycle;
  for (date.month = 0; rest >= monthLength(date.month, date.year); ++date.month) {
    rest -= monthLength(date.month, date.year);
  }
  date.day = static_cast<std::int32_t>(rest + 1);
  return date;
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
