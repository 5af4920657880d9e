#include "numbers/DateSqlText.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "numbers/DateCalendar.h"

namespace rt::dates {
namespace {

struct SqlFields {
  std::int32_t year = 0;
  std::int32_t month = 0;  // 1-based, as written
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
};

class SqlReader {
 public:
  explicit SqlReader(std::string_view text) : text_(text) {}

  // Reads 1 to maxDigits decimal digits.
  std::optional<std::int32_t> number(std::size_t maxDigits) {
    std::int32_t value = 0;
    std::size_t digits = 0;
    while (digits < maxDigits && at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
      value = value * 10 + (text_[at_++] - '0');
      ++digits;
    }
    if (digits == 0) return std::nullopt;
    return value;
  }

  bool literal(char c) {
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  void skipSpace() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
  }

  bool atEnd() const { return at_ == text_.size(); }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// Years up to nine digits fit an int32.
constexpr std::size_t kYearDigits = 9;

std::optional<SqlFields> readSqlText(std::string_view text) {
  SqlReader in(text);
  SqlFields f;
  in.skipSpace();
  auto year = in.number(kYearDigits);
  if (!year || !in.literal('-')) return std::nullopt;
  auto month = in.number(2);
  if (!month || !in.literal('-')) return std::nullopt;
  auto day = in.number(2);
  if (!day) return std::nullopt;
  f.year = *year;
  f.month = *month;
  f.day = *day;
  if (in.literal(' ')) {
    in.skipSpace();
    if (!in.atEnd()) {
      auto hour = in.number(2);
      if (!hour || !in.literal(':')) return std::nullopt;
      auto minute = in.number(2);
      if (!minute || !in.literal(':')) return std::nullopt;
      auto second = in.number(2);
      if (!second) return std::nullopt;
      f.hour = *hour;
      f.minute = *minute;
      f.second = *second;
      in.skipSpace();
    }
  }
  if (!in.atEnd()) return std::nullopt;
  if (dayNumber({f.year, f.month - 1, f.day}) == kInvalidDayNumber) return std::nullopt;
  if (f.hour > 23 || f.minute > 59 || f.second > 59) return std::nullopt;
  return f;
}

void storeDate(DateImp& record, const SqlFields& f) {
  record.SetField(kFieldYear, f.year);
  record.SetField(kFieldMonth, f.month);
  record.SetField(kFieldDay, f.day);
}

}  // namespace

std::string sqlDate(DateImp& record) {
  char text[40];
  (void)std::snprintf(text, sizeof text, "%04d-%02d-%02d", record.GetField(kFieldYear),
                record.GetField(kFieldMonth), record.GetField(kFieldDay));
  return text;
}

std::string sqlDateTime(DateImp& record) {
  char text[80];
  (void)std::snprintf(text, sizeof text, "%s %02d:%02d:%02d", sqlDate(record).c_str(),
                record.GetField(kFieldHour), record.GetField(kFieldMinute),
                record.GetField(kFieldSecond));
  return text;
}

bool setSqlDate(DateImp& record, std::string_view text) {
  const auto fields = readSqlText(text);
  if (!fields) return false;
  storeDate(record, *fields);
  return true;
}

bool setSqlDateTime(DateImp& record, std::string_view text) {
  const auto fields = readSqlText(text);
  if (!fields) return false;
  storeDate(record, *fields);
  record.SetField(kFieldHour, fields->hour);
  record.SetField(kFieldMinute, fields->minute);
  record.SetField(kFieldSecond, fields->second);
  return true;
}

}  // namespace rt::dates
