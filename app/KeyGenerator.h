// The random content of new key files, from the application's random values
// in the order and number the key system's format fixes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "RandomDraws.h"

namespace vantor::app {

inline constexpr int kSettingsPerLine = 90;

// One line of a component-1 file: a shuffled permutation of the bytes,
// written as 256 fields of 3 digits (768 characters). 3003 draws.
std::string componentOneLine(RandomDraws& draws);

// One line of k2.dat: 20 table numbers (a permutation of 1 to 20) and 20
// spare values, as 7-digit fields (280 characters).
std::string componentTwoLine(RandomDraws& draws);

// The draws for component 3 that persist from line to line of one file:
// direction flags once set stay set.
class ComponentThreeLines {
 public:
  // expansionRange: 10, 50 or 99 for low, medium and high expansion, 0 for none.
  explicit ComponentThreeLines(std::int32_t expansionRange) : range_(expansionRange) {}
  // 20 directions, 20 periods A, 20 periods B, 20 steps, 10 seeds and the
  // tail, as 3-digit fields (273 characters).
  std::string next(RandomDraws& draws);

 private:
  std::int32_t range_;
  std::array<std::int32_t, kSettingsPerLine> settings_{};
};

}  // namespace vantor::app
