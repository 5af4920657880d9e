// The date record of Unix systems: the clock through localtime, text through
// strptime, everything else through the runtime's own calendar.
#pragma once

#include <ctime>

#include "numbers/DateFormatter.h"
#include "numbers/DateImp.h"

namespace rt::dates {

class DateImpUnix final : public DateImp {
 public:
  void Normalize() override;
  void EnsureInitialized() override;
  void SetField(std::int32_t code, std::int32_t value) override;
  std::int32_t GetField(std::int32_t code) override;
  std::string GetString(std::int32_t code) override;
  double GetTotalSeconds() override;
  void SetTotalSeconds(double seconds) override;
  bool Parse(const char* text) override;

 private:
  // Makes the fields readable: set from the clock if new, then normalised.
  void prepareRead();
  DateFields fields() const;
  // Takes every field from a broken-down time of the C library.
  void SetFromTm(const std::tm& time);

  bool initialised_ = false;
  bool needsNormalising_ = false;
  std::int32_t second_ = 0;
  std::int32_t minute_ = 0;
  std::int32_t hour_ = 0;
  std::int32_t day_ = 0;
  std::int32_t month_ = 0;  // 0-based
  std::int32_t year_ = 0;   // the full year
  // As the C library's broken-down time last gave them; not kept up to date.
  std::int32_t weekday_ = 0;
  std::int32_t dayOfYear_ = 0;
  std::int32_t daylight_ = 0;
  long zoneOffset_ = 0;
  const char* zoneName_ = nullptr;
};

}  // namespace rt::dates
