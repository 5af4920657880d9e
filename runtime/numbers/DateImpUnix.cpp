#include "numbers/DateImpUnix.h"

#include <array>
#include <cmath>
#include <ctime>

#include "host/FailureReport.h"
#include "numbers/DateCalendar.h"
#include "numbers/DateNames.h"

namespace rt::dates {
namespace {

constexpr const char* kSourceFile = "../Universal/DateImp/DateImpUnix";

constexpr std::int64_t kSecondsPerDay = 86400;
// Day number of 1 January 1904, where TotalSeconds counts from.
const std::int64_t kEpochDay = dayNumber({1904, 0, 1});
// Beyond this many seconds (about 31 million years) a value is not taken:
// day numbers and years stay far inside their ranges.
constexpr double kSecondsLimit = 1e15;

// The patterns Parse tries, in order; %C%y reads a four-digit year.
constexpr std::array<const char*, 20> kParsePatterns{
    "%m/%d/%C%y",       "%m/%d/%y",       "%m-%d-%C%y",      "%m-%d-%y",
    "%m.%d.%C%y",       "%m.%d.%y",       "%d%b%C%y",        "%d%b%y",
    "%d %b %C%y",       "%d %b %y",       "%d.%b.%C%y",      "%d.%b.%y",
    "%b %d, %C%y",      "%b %d, %y",      "%b %d %C%y",      "%b %d %y",
    "%a, %b %d, %C%y",  "%a, %b %d, %y",  "%a %b %d %C%y",   "%a %b %d %y",
};

// value - 1 without overflow (INT32_MIN wraps round).
std::int32_t lessOne(std::int32_t value) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(value) - 1);
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

void DateImpUnix::Normalize() {
  if (!needsNormalising_) return;
  // Carried in 64 bits so that absurd stores cannot overflow; a year beyond
  // the int32 range then wraps round.
  const CarriedDate date = carryDate(year_, month_, day_);
  year_ = static_cast<std::int32_t>(date.year);
  month_ = date.month;
  day_ = date.day;
  needsNormalising_ = false;
}

void DateImpUnix::EnsureInitialized() {
  if (initialised_) return;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  // localtime_r need not look at TZ again; localtime does, and so must we.
  tzset();
  localtime_r(&now, &local);
  SetFromTm(local);
}

void DateImpUnix::SetFromTm(const std::tm& time) {
  second_ = time.tm_sec;
  minute_ = time.tm_min;
  hour_ = time.tm_hour;
  day_ = time.tm_mday;
  month_ = time.tm_mon;
  year_ = time.tm_year + 1900;
  weekday_ = time.tm_wday;
  dayOfYear_ = time.tm_yday;
  daylight_ = time.tm_isdst;
  zoneOffset_ = time.tm_gmtoff;
  zoneName_ = time.tm_zone;
  initialised_ = true;
}

void DateImpUnix::SetField(std::int32_t code, std::int32_t value) {
  EnsureInitialized();
  switch (code) {
    case kFieldYear: year_ = value; break;
    case kFieldMonth: month_ = lessOne(value); break;
    case kFieldDay: day_ = value; break;
    case kFieldHour: hour_ = value; break;
    case kFieldMinute: minute_ = value; break;
    case kFieldSecond: second_ = value; break;
    // Only stored: the weekday and day of year are computed from the date.
    case kFieldDayOfWeek: weekday_ = lessOne(value); break;
    case kFieldDayOfYear: dayOfYear_ = lessOne(value); break;
    case kFieldWeekOfYear: return;
    default: reportAssertion(kSourceFile, __LINE__, "0"); return;
  }
  needsNormalising_ = true;
}

std::int32_t DateImpUnix::GetField(std::int32_t code) {
  prepareRead();
  const CalendarDate date{year_, month_, day_};
  switch (code) {
    case kFieldYear: return year_;
    case kFieldMonth: return month_ + 1;
    case kFieldDay: return day_;
    case kFieldHour: return hour_;
    case kFieldMinute: return minute_;
    case kFieldSecond: return second_;
    case kFieldDayOfWeek: return weekdayOf(dayNumber(date)) + 1;
    case kFieldDayOfYear: return dayOfYear(date);
    case kFieldWeekOfYear: return (dayOfYear(date) + 1) / 7 + 1;
    default: reportAssertion(kSourceFile, __LINE__, "0"); return 0;
  }
}

std::string DateImpUnix::GetString(std::int32_t code) {
  prepareRead();
  DateNames& names = DateNames::system();
  const char* pattern = nullptr;
  switch (code) {
    case kTextShortDate: pattern = names.separator() == '.' ? "%d.%m.%Y" : "%m/%d/%Y"; break;
    case kTextLongDate: pattern = "%A, %B %d, %Y"; break;
    case kTextAbbreviatedDate: pattern = "%a, %b %d, %Y"; break;
    case kTextShortTime: pattern = "%I:%M %p"; break;
    case kTextLongTime: pattern = "%I:%M:%S %p"; break;
    default: reportAssertion(kSourceFile, __LINE__, "0"); return {};
  }
  return timeSprintf(pattern, fields(), names);
}

double DateImpUnix::GetTotalSeconds() {
  prepareRead();
  const std::int64_t days = dayNumber({year_, month_, day_}) - kEpochDay;
  return static_cast<double>(days * kSecondsPerDay) + hour_ * 3600.0 + minute_ * 60.0 + second_;
}

void DateImpUnix::SetTotalSeconds(double seconds) {
  if (!std::isfinite(seconds) || std::fabs(seconds) > kSecondsLimit) return;
  // Whole seconds toward zero; a negative value then counts back from the
  // epoch, so its time of day comes from the floored day.
  const auto whole = static_cast<std::int64_t>(seconds);
  const std::int64_t days = floorDiv(whole, kSecondsPerDay);
  const std::int64_t day = kEpochDay + days;
  // Before 1 January of year 1 there is no calendar to place the date in.
  if (day < 1) return;
  const auto timeOfDay = static_cast<std::int32_t>(whole - days * kSecondsPerDay);
  const CalendarDate date = dateOfDayNumber(day);
  year_ = date.year;
  month_ = date.month;
  day_ = date.day;
  hour_ = timeOfDay / 3600;
  minute_ = timeOfDay % 3600 / 60;
  second_ = timeOfDay % 60;
  initialised_ = true;
  needsNormalising_ = false;
}

bool DateImpUnix::Parse(const char* text) {
  for (const char* pattern : kParsePatterns) {
    std::tm parsed{};
    if (strptime(text, pattern, &parsed) == nullptr) continue;
    SetFromTm(parsed);
    // strptime accepts day 31 in any month; normalising carries it over.
    needsNormalising_ = true;
    return true;
  }
  return false;
}

void DateImpUnix::prepareRead() {
  EnsureInitialized();
  Normalize();
}

DateFields DateImpUnix::fields() const {
  return DateFields{year_, month_, day_, hour_, minute_, second_};
}

}  // namespace rt::dates
