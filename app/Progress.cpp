#include "Progress.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "console/ConsoleApi.h"
#include "objects/ObjectHandle.h"
#include "text/Encodings.h"
#include "text/StringHandle.h"

namespace vantor::app {
namespace {

constexpr std::int32_t kTicksPerSecond = 60;
constexpr std::int32_t kRedrawTicks = kTicksPerSecond / 10;
constexpr double kBytesPerMiB = 1024.0 * 1024.0;

// The progress whose line is on the screen.
Progress* onScreen = nullptr;

rt::Object standardError() { return rt::Object::adopt(RuntimeGetStdErr()); }

void writeError(const std::string& text) {
  RuntimeStdOutputStreamWrite(standardError().get(), rt::String::bytes(text, kEncodingASCII).get());
}

// Tick differences stay right across the wrap of the 32-bit tick count.
std::int32_t ticksBetween(std::int32_t from, std::int32_t to) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(to) -
                                   static_cast<std::uint32_t>(from));
}

std::string oneDecimal(double value) {
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  return std::string(buffer, result.ptr);
}

// Tenths tell something only while the rate is small.
std::string rateText(double rate) {
  return rate < 100 ? oneDecimal(rate) : std::to_string(std::llround(rate));
}

const char* unitName(ProgressUnit unit) { return unit == ProgressUnit::Bytes ? "MiB" : "entries"; }

std::string amount(ProgressUnit unit, std::int64_t count) {
  return unit == ProgressUnit::Bytes ? oneDecimal(static_cast<double>(count) / kBytesPerMiB)
                                     : std::to_string(count);
}

// Appends ":" and the value in two digits.
void appendTwoDigits(std::string& text, std::int64_t value) {
  text += value < 10 ? ":0" : ":";
  text += std::to_string(value);
}

// m:ss below an hour, h:mm:ss from there.
std::string duration(std::int64_t seconds) {
  const std::int64_t hours = seconds / 3600;
  std::string text = std::to_string(hours == 0 ? seconds / 60 : hours);
  if (hours > 0) appendTwoDigits(text, seconds / 60 % 60);
  appendTwoDigits(text, seconds % 60);
  return text;
}

}  // namespace

std::string progressText(const std::string& label, ProgressUnit unit, std::int64_t done,
                         std::int64_t total, std::int32_t elapsedTicks) {
  std::string text = label;
  text += amount(unit, done);
  text += " of ";
  text += amount(unit, total);
  text += ' ';
  text += unitName(unit);
  if (elapsedTicks < kRedrawTicks || done <= 0) return text;
  const double perSecond = static_cast<double>(done) * kTicksPerSecond / elapsedTicks;
  const double rate = unit == ProgressUnit::Bytes ? perSecond / kBytesPerMiB : perSecond;
  const auto secondsLeft =
      static_cast<std::int64_t>(std::ceil(static_cast<double>(total - done) / perSecond));
  text += ", ";
  text += rateText(rate);
  text += ' ';
  text += unitName(unit);
  text += "/s, ";
  text += duration(secondsLeft);
  text += " left";
  return text;
}

Progress::Progress(std::string label, ProgressUnit unit, std::int64_t total, bool shown)
    : label_(std::move(label)), unit_(unit), total_(total), active_(shown && total > 0) {
  if (active_) active_ = RuntimeStdOutputIsTerminal(standardError().get()) != 0;
  if (!active_) return;
  start_ = RuntimeTicks();
  draw(start_);
}

Progress::~Progress() { erase(); }

void Progress::update(std::int64_t done) {
  if (!active_) return;
  done_ = done;
  if (done_ >= total_) {
    erase();
    active_ = false;
    return;
  }
  const std::int32_t now = RuntimeTicks();
  if (ticksBetween(lastDrawn_, now) >= kRedrawTicks) draw(now);
}

void Progress::erase() {
  if (width_ == 0) return;
  std::string blanks(width_ + 2, ' ');
  blanks.front() = '\r';
  blanks.back() = '\r';
  writeError(blanks);
  width_ = 0;
  if (onScreen == this) onScreen = nullptr;
}

// The new text covers the old one: blanks make up for a shorter line.
void Progress::draw(std::int32_t now) {
  const std::string text = progressText(label_, unit_, done_, total_, ticksBetween(start_, now));
  const std::size_t cover = width_ > text.size() ? width_ - text.size() : 0;
  std::string line = "\r";
  line += text;
  line.append(cover, ' ');
  writeError(line);
  width_ = text.size();
  lastDrawn_ = now;
  onScreen = this;
}

void hideProgress() {
  if (onScreen != nullptr) onScreen->erase();
}

}  // namespace vantor::app
