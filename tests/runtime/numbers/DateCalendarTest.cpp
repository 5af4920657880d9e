#include <gtest/gtest.h>

#include <ctime>
#include <utility>

#include "numbers/DateCalendar.h"

namespace {

using rt::dates::CalendarDate;
using rt::dates::dateOfDayNumber;
using rt::dates::dayNumber;

bool operator==(const CalendarDate& a, const CalendarDate& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

// The next calendar day by the Julian rule before the reform, the Gregorian
// rule after it, with 5 to 14 October 1582 left out.
CalendarDate nextDay(CalendarDate d) {
  const bool gregorian = d.year > 1582;
  const bool leap = d.year % 4 == 0 && (!gregorian || d.year % 100 != 0 || d.year % 400 == 0);
  const int lengths[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.year == 1582 && d.month == 9 && d.day == 4) return {1582, 9, 15};
  if (++d.day <= lengths[d.month]) return d;
  d.day = 1;
  if (++d.month == 12) {
    d.month = 0;
    ++d.year;
  }
  return d;
}

TEST(CalendarTest, DayNumbersCountEveryDayAndInvertFromYearOne) {
  CalendarDate date{1, 0, 1};
  for (std::int64_t n = 1; date.year <= 3000; ++n, date = nextDay(date)) {
    ASSERT_EQ(dayNumber(date), n) << date.year << "-" << date.month + 1 << "-" << date.day;
    ASSERT_TRUE(dateOfDayNumber(n) == date) << n;
  }
}

TEST(CalendarTest, GregorianDatesAgreeWithTheCLibrary) {
  // Day number and weekday against gmtime's proleptic Gregorian calendar.
  const std::int64_t first = dayNumber({1583, 0, 1});
  std::tm start{};
  start.tm_year = 1583 - 1900;
  start.tm_mday = 1;
  const std::int64_t firstUnixDay = timegm(&start) / 86400;
  for (std::int64_t n = first; n < dayNumber({2401, 0, 1}); ++n) {
    const std::time_t t = static_cast<std::time_t>(firstUnixDay + (n - first)) * 86400;
    std::tm tm{};
    ASSERT_NE(gmtime_r(&t, &tm), nullptr);
    const CalendarDate expected{tm.tm_year + 1900, tm.tm_mon, tm.tm_mday};
    ASSERT_EQ(dayNumber(expected), n);
    ASSERT_TRUE(dateOfDayNumber(n) == expected) << n;
    ASSERT_EQ(rt::dates::weekdayOf(n), tm.tm_wday) << n;
    ASSERT_EQ(rt::dates::dayOfYear(expected), tm.tm_yday + 1) << n;
  }
}

TEST(CalendarTest, JulianLeapYearsTheReformAndDatesThatDoNotExist) {
  const std::pair<int, bool> leapYears[] = {{1500, true},  {1582, false}, {1600, true},
                                            {1700, false}, {2000, true},  {2100, false}};
  for (const auto& [year, leap] : leapYears) EXPECT_EQ(rt::dates::isLeapYear(year), leap) << year;
  EXPECT_EQ(dayNumber({1582, 9, 15}) - dayNumber({1582, 9, 4}), 1);
  EXPECT_EQ(rt::dates::weekdayOf(dayNumber({1582, 9, 4})), 4);  // a Thursday
  const CalendarDate invalid[] = {{1582, 9, 5},  {1582, 9, 14}, {2001, 1, 29}, {0, 0, 1},
                                  {2001, 12, 1}, {2001, -1, 1}, {2001, 0, 0}};
  for (const CalendarDate& d : invalid) {
    EXPECT_EQ(dayNumber(d), rt::dates::kInvalidDayNumber)
        << d.year << "-" << d.month << "-" << d.day;
  }
}

}  // namespace
