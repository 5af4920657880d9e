#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <tuple>
#include <utility>

#include "host/IntrinsicTable.h"
#include "numbers/DateApi.h"
#include "numbers/DateCalendar.h"
#include "numbers/DateHandle.h"
#include "numbers/DateImpUnix.h"
#include "numbers/DateObject.h"
#include "objects/ClassRegistry.h"
#include "support/RuntimeFixture.h"

namespace {

using rt::Date;
using rt::DateField;
using rt::DateText;
using rt::String;

// Every date test runs in UTC and the C locale, so the date command gives
// English names and "/" dates whatever the machine is set to. The Date class
// record is built once, outside every test's allocation balance.
class DateEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    setenv("LC_ALL", "C", 1);
    tzset();
    rt::dates::registerDateClass();
    rt::objects::classFor(rt::dates::dateClass);
  }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new DateEnvironment);

struct Moment {
  std::int32_t year, month, day, hour, minute, second;  // month 1-based
};

Date dateAt(const Moment& m) {
  Date date = Date::now();
  const std::int32_t values[] = {m.year, m.month, m.day, m.hour, m.minute, m.second};
  for (int code = 0; code < 6; ++code) date.setField(static_cast<DateField>(code), values[code]);
  return date;
}

std::string text(const Moment& m) {
  char out[64];
  std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d", m.year, m.month, m.day, m.hour,
                m.minute, m.second);
  return out;
}

// Seconds from 1 January 1904 by the C library's calendar.
double cSeconds(const Moment& m) {
  std::tm tm{m.second, m.minute, m.hour, m.day, m.month - 1, m.year - 1900, 0, 0, 0, 0, nullptr};
  std::tm epoch{0, 0, 0, 1, 0, 4, 0, 0, 0, 0, nullptr};
  return static_cast<double>(timegm(&tm) - timegm(&epoch));
}

using DateTest = rt::test::RuntimeTest;

TEST_F(DateTest, NewDateHoldsTheLocalTime) {
  // Five hours east of UTC, set as a program would: without calling tzset.
  setenv("TZ", "XST-5", 1);
  const std::time_t before = std::time(nullptr);
  Date date = Date::now();
  const std::time_t shifted = std::time(nullptr) + 5 * 3600;
  setenv("TZ", "UTC", 1);
  tzset();
  if (shifted != before + 5 * 3600) GTEST_SKIP() << "the clock ticked over during the test";
  std::tm tm{};
  gmtime_r(&shifted, &tm);
  EXPECT_EQ(date.sqlDateTime().str(),
            text({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec}));
}

TEST_F(DateTest, TotalSecondsCountFrom1904BothWays) {
  const Moment moments[] = {{1904, 1, 1, 0, 0, 0},     {1904, 1, 2, 0, 0, 0},
                            {2001, 3, 15, 13, 7, 9},   {1903, 12, 31, 23, 59, 59},
                            {1903, 12, 31, 0, 0, 0},   {1600, 2, 29, 12, 0, 1},
                            {2400, 12, 31, 23, 59, 59}};
  for (const Moment& m : moments) {
    EXPECT_EQ(dateAt(m).totalSeconds(), cSeconds(m)) << text(m);
    Date date = Date::now();
    date.setTotalSeconds(cSeconds(m));
    EXPECT_EQ(date.sqlDateTime().str(), text(m));
  }
  Date date = Date::now();
  date.setTotalSeconds(-1.5);  // whole seconds toward zero: one second before
  EXPECT_EQ(date.sqlDateTime().str(), "1903-12-31 23:59:59");
  date.setTotalSeconds(86401.9);
  // Before year 1, or not a number: no date to take.
  for (double unusable : {-1e12, std::numeric_limits<double>::quiet_NaN(), 1e300}) {
    date.setTotalSeconds(unusable);
  }
  EXPECT_EQ(date.sqlDateTime().str(), "1904-01-02 00:00:01");
}

struct CarryCase {
  Moment start;
  DateField field;
  std::int32_t value;
  const char* expected;
};

TEST_F(DateTest, NormalizeCarriesMonthsAndDaysButNotTimes) {
  for (const CarryCase& c : {
           CarryCase{{2001, 3, 15, 0, 0, 0}, DateField::Month, 13, "2002-01-15"},
           {{2000, 3, 1, 0, 0, 0}, DateField::Day, 0, "2000-02-29"},
           {{2001, 3, 15, 0, 0, 0}, DateField::Month, 0, "2000-12-15"},
           {{2001, 3, 15, 0, 0, 0}, DateField::Month, -23, "1999-01-15"},
           {{2001, 1, 31, 0, 0, 0}, DateField::Month, 2, "2001-03-03"},
           {{2001, 1, 1, 0, 0, 0}, DateField::Day, 366, "2002-01-01"},
           {{2001, 1, 1, 0, 0, 0}, DateField::Day, -30, "2000-12-01"},
           {{1900, 2, 1, 0, 0, 0}, DateField::Day, 29, "1900-03-01"},
           {{1500, 2, 1, 0, 0, 0}, DateField::Day, 29, "1500-02-29"},
           {{2001, 3, 15, 0, 0, 0}, DateField::Month, INT32_MAX, "178958971-07-15"},
       }) {
    Date date = dateAt(c.start);
    date.setField(c.field, c.value);
    EXPECT_EQ(date.sqlDate().str(), c.expected);
  }
  Date date = dateAt({2001, 3, 15, 0, 0, 0});
  date.setField(DateField::Hour, 25);
  date.setField(DateField::Second, -1);
  EXPECT_EQ(date.sqlDateTime().str(), "2001-03-15 25:00:-1");
}

// Carrying a month at a time, the plain way.
rt::dates::CalendarDate carriedStepwise(std::int32_t year, std::int32_t month, std::int32_t day) {
  for (;;) {
    while (month > 11) ++year, month -= 12;
    while (month < 0) --year, month += 12;
    if (day < 1 && --month < 0) --year, month += 12;
    const std::int32_t length = rt::dates::monthLength(month, year);
    if (day < 1) {
      day += length;
      continue;
    }
    if (day <= length) return {year, month, day};
    ++month;
    day -= length;
  }
}

TEST_F(DateTest, NormalizeCarriesAsMonthByMonthStepping) {
  // Across the Julian years (year 0 and before included), the reform and
  // Gregorian century years, by up to a 400-year cycle either way.
  for (const std::int32_t year :
       {-802, -5,   -4,   -1,   0,    1,    2,    4,    1580, 1581, 1582, 1583,
        1584, 1599, 1600, 1601, 1699, 1700, 1701, 1899, 1900, 2000, 2001, 2100}) {
    for (const std::int32_t month : {-25, -13, -12, -1, 0, 1, 2, 9, 11, 12, 13, 24, 37}) {
      for (const std::int32_t day :
           {-146100, -1462, -800, -366, -365, -60, -31, -1,  0,    1,    28,     29,
            30,      31,    32,   59,   60,   365, 366, 367, 1461, 1462, 146097, 146098}) {
        rt::dates::DateImpUnix record;
        record.SetField(rt::dates::kFieldYear, year);
        record.SetField(rt::dates::kFieldMonth, month + 1);
        record.SetField(rt::dates::kFieldDay, day);
        const rt::dates::CalendarDate expected = carriedStepwise(year, month, day);
        ASSERT_EQ(std::tuple(record.GetField(rt::dates::kFieldYear),
                             record.GetField(rt::dates::kFieldMonth) - 1,
                             record.GetField(rt::dates::kFieldDay)),
                  std::tuple(expected.year, expected.month, expected.day))
            << year << " " << month << " " << day;
      }
    }
  }
}

TEST_F(DateTest, NormalizeCarriesHugeDayStoresAtOnce) {
  // Results of stepping month by month, worked out once (tens of millions of
  // steps each).
  struct HugeCase {
    Moment start;
    std::int32_t day;
    Moment expected;
  };
  for (const HugeCase& c : {
           HugeCase{{2001, 3, 15, 0, 0, 0}, INT32_MAX, {5881611, 9, 8, 0, 0, 0}},
           {{2001, 3, 15, 0, 0, 0}, INT32_MIN, {-5877489, 5, 11, 0, 0, 0}},
           {{-2000000000, 1, 1, 0, 0, 0}, INT32_MAX, {-1994120511, 10, 16, 0, 0, 0}},
           {{1, 1, 1, 0, 0, 0}, INT32_MIN, {-5879489, 3, 16, 0, 0, 0}},
           {{2000000000, 12, 1, 0, 0, 0}, INT32_MIN, {1994120390, 5, 22, 0, 0, 0}},
           {{1582, 10, 1, 0, 0, 0}, INT32_MAX, {5881193, 4, 9, 0, 0, 0}},
       }) {
    Date date = dateAt(c.start);
    date.setField(DateField::Day, c.day);
    EXPECT_EQ(text({date.year(), date.month(), date.day(), 0, 0, 0}), text(c.expected))
        << text(c.start) << " day " << c.day;
  }
}

TEST_F(DateTest, ComputedDayFieldsIgnoreStores) {
  Date date = dateAt({1904, 1, 1, 0, 0, 0});
  date.setField(DateField::DayOfWeek, 2);
  date.setField(DateField::DayOfYear, 100);
  date.setField(DateField::WeekOfYear, 30);
  EXPECT_EQ(date.field(DateField::DayOfWeek), 6);  // a Friday
  EXPECT_EQ(date.field(DateField::DayOfYear), 1);
  EXPECT_EQ(date.field(DateField::WeekOfYear), 1);
  EXPECT_EQ(date.sqlDate().str(), "1904-01-01");
  Date last = dateAt({2000, 12, 31, 0, 0, 0});
  EXPECT_EQ(last.field(DateField::DayOfYear), 366);
  EXPECT_EQ(last.field(DateField::WeekOfYear), 53);
}

TEST_F(DateTest, UnknownCodesAreReportedAndReadAsNothing) {
  Date date = Date::now();
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(dateFieldGetter(date.get(), 9), 0);
  dateFieldSetter(date.get(), -1, 5);
  EXPECT_EQ(dateStringGetter(date.get(), 5), nullptr);
  const std::string report = ::testing::internal::GetCapturedStdout();
  int reports = 0;
  for (auto at = report.find("DateImp/DateImpUnix"); at != std::string::npos;
       at = report.find("DateImp/DateImpUnix", at + 1)) {
    ++reports;
  }
  EXPECT_EQ(reports, 3) << report;
}

TEST_F(DateTest, GMTOffsetMovesTheFields) {
  Date date = dateAt({2001, 3, 15, 12, 0, 0});
  for (const auto& [hours, expected] : {std::pair{2.0, "2001-03-15 14:00:00"},
                                        {-3.5, "2001-03-15 08:30:00"},
                                        {-13.0, "2001-03-14 23:00:00"},
                                        {0.0, "2001-03-15 12:00:00"}}) {
    date.setGMTOffset(hours);
    EXPECT_EQ(date.gmtOffset(), hours);
    EXPECT_EQ(date.sqlDateTime().str(), expected);
  }
}

TEST_F(DateTest, TextForms) {
  Date date = dateAt({2001, 3, 15, 0, 30, 0});
  EXPECT_EQ(date.text(DateText::ShortDate).str(), "03/15/2001");
  EXPECT_EQ(date.text(DateText::LongDate).str(), "Thursday, March 15, 2001");
  EXPECT_EQ(date.text(DateText::AbbreviatedDate).str(), "Thu, Mar 15, 2001");
  EXPECT_EQ(date.text(DateText::ShortTime).str(), "00:30 AM");
  date.setField(DateField::Hour, 12);
  EXPECT_EQ(date.text(DateText::ShortTime).str(), "12:30 PM");
  date.setField(DateField::Hour, 23);
  EXPECT_EQ(date.text(DateText::LongTime).str(), "11:30:00 PM");
}

TEST_F(DateTest, ParseTriesEveryPattern) {
  for (const char* text :
       {"03/15/2001",        "03/15/01",        "03-15-2001",      "03-15-01",
        "03.15.2001",        "03.15.01",        "15Mar2001",       "15Mar01",
        "15 Mar 2001",       "15 Mar 01",       "15.Mar.2001",     "15.Mar.01",
        "Mar 15, 2001",      "Mar 15, 01",      "Mar 15 2001",     "Mar 15 01",
        "Thu, Mar 15, 2001", "Thu, Mar 15, 01", "Thu Mar 15 2001", "Thu Mar 15 01"}) {
    EXPECT_EQ(Date::parse(text).sqlDateTime().str(), "2001-03-15 00:00:00") << text;
  }
  EXPECT_EQ(Date::parse("02/30/1999").sqlDate().str(), "1999-03-02");
  EXPECT_FALSE(Date::parse("someday"));
  EXPECT_FALSE(Date::parse(""));
}

TEST_F(DateTest, ParseDateReplacesTheOutValueOnlyOnSuccess) {
  RTObject* out = Date::now().leak();
  RTObject* const first = out;
  EXPECT_EQ(parseDate(String("yesterday").get(), &out), 0);
  EXPECT_EQ(out, first);
  EXPECT_EQ(parseDate(String("Jan 2 1904").get(), &out), 1);
  EXPECT_NE(out, first);
  EXPECT_EQ(dateTotalSecondsGetter(out), 86400.0);
  RuntimeUnlockObject(out);
}

TEST_F(DateTest, SQLTextRoundTrips) {
  Date date = dateAt({987, 6, 5, 4, 3, 2});
  EXPECT_EQ(date.sqlDateTime().str(), "0987-06-05 04:03:02");
  for (double seconds = -2e10; seconds < 4e10; seconds += 987654321.0) {
    date.setTotalSeconds(seconds);
    Date copy = Date::now();
    copy.setSqlDateTime(date.sqlDateTime());
    EXPECT_EQ(copy.totalSeconds(), date.totalSeconds()) << date.sqlDateTime().str();
    copy.setSqlDate(String("1999-12-31"));
    EXPECT_EQ(copy.sqlDateTime().str(), "1999-12-31" + date.sqlDateTime().str().substr(10));
  }
  date.setSqlDateTime(String(" 2000-02-29 "));
  for (const char* bad : {"2001-02-29", "1582-10-10", "1999-13-01", "0000-01-01", "99-1",
                          "1999-12-31 24:00:00", "1999-12-31 23:59", "1999-12-31x", ""}) {
    date.setSqlDateTime(String(bad));
    date.setSqlDate(String(bad));
    EXPECT_EQ(date.sqlDateTime().str(), "2000-02-29 00:00:00") << bad;
  }
}

TEST_F(DateTest, CompareAndNilDates) {
  Date early = dateAt({1999, 1, 1, 0, 0, 0});
  Date late = dateAt({1999, 1, 1, 0, 0, 1});
  Date nil;
  EXPECT_EQ(compare(early, late), -1);
  EXPECT_EQ(compare(late, early), 1);
  EXPECT_EQ(compare(early, dateAt({1999, 1, 1, 0, 0, 0})), 0);
  EXPECT_EQ(compare(nil, early), -1);
  EXPECT_EQ(compare(early, nil), 1);
  nil.setTotalSeconds(5);
  EXPECT_EQ(nil.year(), 0);
  EXPECT_EQ(nil.totalSeconds(), 0.0);
  EXPECT_TRUE(nil.text(DateText::LongDate).empty());
  EXPECT_TRUE(nil.sqlDateTime().empty());
}

TEST_F(DateTest, ClassAndEntryPointsAreRegisteredByName) {
  EXPECT_EQ(RuntimeLookupClass(String("Date").get()), rt::objects::classFor(rt::dates::dateClass));
  for (const char* name :
       {"AutoInitDate", "DateFinalizer", "dateFieldGetter", "dateFieldSetter", "dateStringGetter",
        "dateTotalSecondsGetter", "dateTotalSecondsSetter", "dateGMTOffsetGetter",
        "dateGMTOffsetSetter", "dateSQLDateGetter", "dateSQLDateSetter", "dateSQLDateTimeGetter",
        "dateSQLDateTimeSetter", "DateCompare", "parseDate"}) {
    EXPECT_NE(rt::intrinsics::lookup(name), nullptr) << name;
  }
}

}  // namespace
