// rt::Date, the counted C++ handle over Date objects that the application and
// the tests use. Reads of a null handle give 0 and stores do nothing, as for a
// nil Date in compiled code.
#pragma once

#include <cstdint>

#include "numbers/DateImp.h"
#include "objects/ObjectHandle.h"
#include "text/StringHandle.h"

namespace rt {

enum class DateField : std::int32_t {
  Year = dates::kFieldYear,
  Month = dates::kFieldMonth,
  Day = dates::kFieldDay,
  Hour = dates::kFieldHour,
  Minute = dates::kFieldMinute,
  Second = dates::kFieldSecond,
  DayOfWeek = dates::kFieldDayOfWeek,
  DayOfYear = dates::kFieldDayOfYear,
  WeekOfYear = dates::kFieldWeekOfYear,
};

enum class DateText : std::int32_t {
  ShortDate = dates::kTextShortDate,
  LongDate = dates::kTextLongDate,
  AbbreviatedDate = dates::kTextAbbreviatedDate,
  ShortTime = dates::kTextShortTime,
  LongTime = dates::kTextLongTime,
};

class Date : public Object {
 public:
  Date() = default;

  // A new Date holding the current local time.
  [[nodiscard]] static Date now();
  // A new Date of the text, or a null handle when no date pattern matches.
  [[nodiscard]] static Date parse(const String& text);

  std::int32_t field(DateField which) const;
  void setField(DateField which, std::int32_t value);
  std::int32_t year() const { return field(DateField::Year); }
  std::int32_t month() const { return field(DateField::Month); }
  std::int32_t day() const { return field(DateField::Day); }
  std::int32_t hour() const { return field(DateField::Hour); }
  std::int32_t minute() const { return field(DateField::Minute); }
  std::int32_t second() const { return field(DateField::Second); }

  String text(DateText form) const;
  double totalSeconds() const;
  void setTotalSeconds(double seconds);
  double gmtOffset() const;
  void setGMTOffset(double hours);
  String sqlDate() const;
  void setSqlDate(const String& text);
  String sqlDateTime() const;
  void setSqlDateTime(const String& text);

  // -1, 0 or 1 as a is before, at or after b.
  friend int compare(const Date& a, const Date& b);

 private:
  explicit Date(Object object) : Object(std::move(object)) {}
};

}  // namespace rt
