// The date record behind a Date object: a calendar date and time of day held
// as separate fields, normalised lazily when read.
#pragma once

#include <cstdint>
#include <string>

namespace rt::dates {

// Field codes of dateFieldGetter and dateFieldSetter.
enum DateFieldCode : std::int32_t {
  kFieldYear = 0,
  kFieldMonth = 1,  // 1-based
  kFieldDay = 2,
  kFieldHour = 3,
  kFieldMinute = 4,
  kFieldSecond = 5,
  kFieldDayOfWeek = 6,  // 1 = Sunday
  kFieldDayOfYear = 7,
  kFieldWeekOfYear = 8,  // read only
};

// Text codes of dateStringGetter.
enum DateTextCode : std::int32_t {
  kTextShortDate = 0,
  kTextLongDate = 1,
  kTextAbbreviatedDate = 2,
  kTextShortTime = 3,
  kTextLongTime = 4,
};

class DateImp {
 public:
  virtual ~DateImp() = default;

  // Carries day and month overflow into month and year (only when a field was stored).
  virtual void Normalize() = 0;
  // Sets the record from the clock (local time) unless it was set already.
  virtual void EnsureInitialized() = 0;
  virtual void SetField(std::int32_t code, std::int32_t value) = 0;
  virtual std::int32_t GetField(std::int32_t code) = 0;
  virtual std::string GetString(std::int32_t code) = 0;
  // Seconds from 1 January 1904 00:00:00 to the fields, as local time.
  virtual double GetTotalSeconds() = 0;
  virtual void SetTotalSeconds(double seconds) = 0;
  // Sets the date from text in one of the known date patterns; false when none matches.
  virtual bool Parse(const char* text) = 0;

  double gmtOffset() const { return GMTOffset; }
  // Moves the fields by the change of offset, so the same instant reads in the new zone.
  void setGMTOffset(double hours) {
    SetTotalSeconds(GetTotalSeconds() + (hours - GMTOffset) * 3600.0);
    GMTOffset = hours;
  }

 protected:
  double GMTOffset = 0.0;  // hours
};

}  // namespace rt::dates
