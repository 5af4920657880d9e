#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "numbers/DateCalendar.h"
#include "numbers/DateFormatter.h"

namespace {

using rt::dates::DateFields;
using rt::dates::DateNames;
using rt::dates::timeSprintf;

// No system names: the formatter works with the English fallbacks.
std::string noOutput(const char*) { return {}; }
std::string longName(const char*) { return std::string(600, 'x'); }

struct FormatCase {
  const char* pattern;
  DateFields fields;
  const char* expected;
};

constexpr DateFields kFriday{1904, 0, 1, 0, 30, 5};
constexpr DateFields kAfternoon{2001, 2, 15, 13, 7, 9};

TEST(DateFormatterTest, ConversionsWriteTheirFields) {
  DateNames names(&noOutput);
  for (const FormatCase& c : {
           FormatCase{"%%|%a|%A|%b|%B", kFriday, "%|Fri|Friday|Jan|January"},
           {"%c", kAfternoon, "Mar 15 13:07:09 2001"},
           {"%d.%m.%y %j %w", kAfternoon, "15.03.01 074 4"},
           {"%H %I %p", kFriday, "00 00 AM"},
           {"%H %I %p", kAfternoon, "13 01 PM"},
           {"%I %p", {2001, 2, 15, 12, 30, 0}, "12 PM"},
           {"%I %p", {2001, 2, 15, 11, 30, 0}, "11 AM"},
           {"%x|%X", kAfternoon, "Thu, Mar 15, 2001|13:07:09"},
           {"%M:%S", kFriday, "30:05"},
           {"%Y %y", {5, 0, 1, 0, 0, 0}, "5 05"},
           {"%Y %y", {-5, 0, 1, 0, 0, 0}, "-5 95"},
           {"%Z", kFriday, "C"},
           {"a%qb", kFriday, "aError in TimeSprintf() b"},
           {"end%", kFriday, "endError in TimeSprintf() "},
           // Monday weeks are Sunday weeks less one on Sundays. 2001 began on a
           // Monday, 2006 on a Sunday, 2002 on a Tuesday.
           {"%U %W", {2001, 0, 1, 0, 0, 0}, "00 00"},
           {"%U %W", {2001, 0, 6, 0, 0, 0}, "00 00"},
           {"%U %W", {2001, 0, 7, 0, 0, 0}, "01 00"},
           {"%U %W", {2001, 0, 8, 0, 0, 0}, "01 01"},
           {"%U %W", {2001, 11, 30, 0, 0, 0}, "52 51"},
           {"%U %W", {2001, 11, 31, 0, 0, 0}, "52 52"},
           {"%U %W", {2006, 0, 1, 0, 0, 0}, "01 00"},
           {"%U %W", {2006, 0, 2, 0, 0, 0}, "01 01"},
           {"%U %W", {2002, 0, 6, 0, 0, 0}, "01 00"},
           {"%U %W", {2002, 0, 7, 0, 0, 0}, "01 01"},
       }) {
    EXPECT_EQ(timeSprintf(c.pattern, c.fields, names), c.expected)
        << c.pattern << " on " << c.fields.year << "-" << c.fields.month + 1 << "-" << c.fields.day;
  }
}

TEST(DateFormatterTest, WeekNumbersAndDayOfYearMatchTheCLibrary) {
  DateNames names(&noOutput);
  // Years beginning on every weekday, leap and common.
  for (std::int32_t year = 2000; year <= 2014; ++year) {
    for (std::int32_t yday = 0; yday < (rt::dates::isLeapYear(year) ? 366 : 365); ++yday) {
      std::tm tm{};
      tm.tm_year = year - 1900;
      tm.tm_mday = yday + 1;
      const std::time_t t = timegm(&tm);
      gmtime_r(&t, &tm);
      const DateFields fields{year, tm.tm_mon, tm.tm_mday, 0, 0, 0};
      char expected[32];
      std::strftime(expected, sizeof expected, "%U %j %w", &tm);
      ASSERT_EQ(timeSprintf("%U %j %w", fields, names), expected) << year << " day " << yday;
      // The C library's %W starts week 1 on a Monday 1 January; ours does not.
      if (rt::dates::weekdayOf(rt::dates::dayNumber({year, 0, 1})) == 1) continue;
      std::strftime(expected, sizeof expected, "%W", &tm);
      ASSERT_EQ(timeSprintf("%W", fields, names), expected) << year << " day " << yday;
    }
  }
}

TEST(DateFormatterTest, TextBeyondTheWorkBufferGivesNothing) {
  DateNames names(&longName);
  EXPECT_EQ(timeSprintf("%A", kFriday, names).size(), 600u);
  EXPECT_EQ(timeSprintf("%A%A", kFriday, names), "");
}

}  // namespace
