#include "KeyGenerator.h"

#include <algorithm>
#include <numeric>
#include <span>

namespace vantor::app {
namespace {

constexpr int kTableSize = 256;
constexpr int kPasses = 3;
constexpr int kExchanges = 500;
constexpr int kRandomBits = 20;
constexpr std::uint32_t kHalf = 1u << (kRandomBits - 1);

// Trunc(Round(draw * k)) for the draw value / 2^20: the product is exact in a
// double, so rounding half away from zero is integer arithmetic.
std::int32_t roundedScale(std::uint32_t value, std::uint32_t k) {
  return static_cast<std::int32_t>((value * k + kHalf) >> kRandomBits);
}

std::int32_t nextScaled(RandomDraws& draws, std::uint32_t k) {
  return roundedScale(draws.next(), k);
}

void appendField(std::string& line, std::int32_t value, int width) {
  std::string digits = std::to_string(value);
  // The field is the last width characters of zeros followed by the number.
  digits.insert(0, static_cast<std::size_t>(width), '0');
  line.append(digits, digits.size() - width, width);
}

}  // namespace

std::string componentOneLine(RandomDraws& draws) {
  std::array<std::uint8_t, kTableSize> table{};
  std::iota(table.begin(), table.end(), 0);
  for (int pass = 0; pass < kPasses; ++pass) {
    for (int exchange = 0; exchange < kExchanges; ++exchange) {
      // Rows are 1-based: row 256 is never picked directly.
      std::int32_t a = nextScaled(draws, 255);
      std::int32_t b = nextScaled(draws, 255);
      if (a == 0) a = 1;
      if (b == 0) b = 255;
      std::swap(table[a - 1], table[b - 1]);
    }
    const std::int32_t rotation = nextScaled(draws, 50) + 15;
    std::rotate(table.begin(), table.begin() + rotation, table.end());
  }
  std::string line;
  line.reserve(std::size_t{3} * kTableSize);
  for (std::uint8_t byte : table) appendField(line, byte, 3);
  return line;
}

std::string componentTwoLine(RandomDraws& draws) {
  std::array<std::int32_t, 20> tables{};
  std::array<std::int32_t, 20> spares{};
  for (int i = 0; i < 20; ++i) {
    tables[i] = i + 1;
    spares[i] = nextScaled(draws, 100) < 50 ? nextScaled(draws, 100) : 0;
  }
  for (int exchange = 0; exchange < kExchanges; ++exchange) {
    const std::int32_t a = nextScaled(draws, 19) + 1;
    const std::int32_t b = nextScaled(draws, 19) + 1;
    std::swap(tables[a - 1], tables[b - 1]);
  }
  std::rotate(tables.begin(), tables.begin() + 5, tables.end());
  std::string line;
  line.reserve(280);
  for (std::int32_t value : tables) appendField(line, value, 7);
  for (std::int32_t value : spares) appendField(line, value, 7);
  return line;
}

std::string ComponentThreeLines::next(RandomDraws& draws) {
  auto directions = std::span(settings_).subspan(0, 20);
  for (std::int32_t& direction : directions) {
    // draw * 50 < 25, that is draw < 1/2.
    if (draws.next() < kHalf) direction = 1;
  }
  for (int i = 0; i < 20; ++i) {
    for (int field : {20, 40, 60}) settings_[field + i] = nextScaled(draws, 10) + 1;
  }
  if (range_ > 0) {
    for (int i = 80; i < 90; ++i)
      settings_[i] = nextScaled(draws, static_cast<std::uint32_t>(range_)) + 1;
  }
  const std::int32_t tail = nextScaled(draws, 100) + 1;
  std::string line;
  line.reserve(273);
  for (std::int32_t value : settings_) appendField(line, value, 3);
  appendField(line, tail, 3);
  return line;
}

}  // namespace vantor::app
