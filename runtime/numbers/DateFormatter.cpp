#include "numbers/DateFormatter.h"

#include <clocale>
#include <cstdio>

#include "numbers/DateCalendar.h"

namespace rt::dates {
namespace {

constexpr std::size_t kWorkBufferSize = 1024;  // the terminating zero included
constexpr std::string_view kUnknownConversion = "Error in TimeSprintf() ";

class Formatter {
 public:
  Formatter(const DateFields& fields, DateNames& names)
      : fields_(fields),
        names_(names),
        date_{fields.year, fields.month, fields.day},
        weekday_(weekdayOf(dayNumber(date_))),
        dayOfYear_(dayOfYear(date_)) {}

  void format(std::string_view pattern) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      if (pattern[i] != '%') {
        out_ += pattern[i];
      } else if (++i < pattern.size()) {
        convert(pattern[i]);
      } else {
        out_ += kUnknownConversion;
      }
    }
  }

  std::string result() && { return out_.size() < kWorkBufferSize ? std::move(out_) : std::string(); }

 private:
  void number(std::int32_t value, int digits) {
    char text[16];
    (void)std::snprintf(text, sizeof text, "%0*d", digits, value);
    out_ += text;
  }

  // Week of the year: week 1 starts on the first Sunday, earlier days are
  // week 0.
  std::int32_t week() const { return (dayOfYear_ - 1 + 7 - weekday_) / 7; }

  // Monday weeks are Sunday weeks with each Sunday moved back a week, so a
  // year that begins on a Monday still begins in week 0.
  std::int32_t mondayWeek() const { return weekday_ == 0 ? week() - 1 : week(); }

  void convert(char conversion) {
    switch (conversion) {
      case '%': out_ += '%'; break;
      case 'a': out_ += names_.weekday(weekday_, NameForm::Abbreviated); break;
      case 'A': out_ += names_.weekday(weekday_, NameForm::Full); break;
      case 'b': out_ += names_.month(fields_.month, NameForm::Abbreviated); break;
      case 'B': out_ += names_.month(fields_.month, NameForm::Full); break;
      case 'c': format("%b %d %H:%M:%S %Y"); break;
      case 'd': number(fields_.day, 2); break;
      case 'H': number(fields_.hour, 2); break;
      case 'I': number(fields_.hour > 12 ? fields_.hour - 12 : fields_.hour, 2); break;
      case 'j': number(dayOfYear_, 3); break;
      case 'm': number(fields_.month + 1, 2); break;
      case 'M': number(fields_.minute, 2); break;
      case 'S': number(fields_.second, 2); break;
      case 'p': out_ += fields_.hour > 11 ? "PM" : "AM"; break;
      case 'U': number(week(), 2); break;
      case 'W': number(mondayWeek(), 2); break;
      case 'w': number(weekday_, 1); break;
      case 'x': format("%a, %b %d, %Y"); break;
      case 'X': format("%H:%M:%S"); break;
      case 'y': number((fields_.year % 100 + 100) % 100, 2); break;
      case 'Y': number(fields_.year, 1); break;
      case 'Z': {
        const char* locale = std::setlocale(LC_TIME, nullptr);
        out_ += locale != nullptr ? locale : "C";
        break;
      }
      default: out_ += kUnknownConversion; break;
    }
  }

  const DateFields& fields_;
  DateNames& names_;
  CalendarDate date_;
  std::int32_t weekday_;
  std::int32_t dayOfYear_;
  std::string out_;
};

}  // namespace

std::string timeSprintf(std::string_view pattern, const DateFields& fields, DateNames& names) {
  Formatter formatter(fields, names);
  formatter.format(pattern);
  return std::move(formatter).result();
}

}  // namespace rt::dates
