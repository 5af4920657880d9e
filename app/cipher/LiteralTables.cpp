#include "cipher/LiteralTables.h"

#include <algorithm>
#include <string_view>

namespace vantor::cipher {
namespace {

constexpr int kEmpty = -1;  // the empty string a lookup past a table's end gives

// Left and Right of the string functions: a count at or past the length takes
// everything, one below 1 nothing.
std::string_view leftPart(std::string_view s, std::int64_t n) {
  if (n >= static_cast<std::int64_t>(s.size())) return s;
  if (n < 1) return {};
  return s.substr(0, static_cast<std::size_t>(n));
}

std::string_view rightPart(std::string_view s, std::int64_t n) {
  if (n >= static_cast<std::int64_t>(s.size())) return s;
  if (n < 1) return {};
  return s.substr(s.size() - static_cast<std::size_t>(n));
}

bool inRotatingRange(std::int32_t step) { return step >= 1 && step <= 255; }

}  // namespace

LiteralTables::LiteralTables(const Key& key) : tables_(key.tables), steps_(key.step) {
  for (int t = 0; t < kTableCount; ++t) {
    clocks_[t] = RotationClock(key.direction[t], key.periodA[t], key.periodB[t], 0);
  }
}

bool LiteralTables::rotating(int t) const {
  return tables_[t].size() == 256 && inRotatingRange(steps_[t]);
}

bool LiteralTables::permutation(int t) const {
  const std::string& table = tables_[t];
  if (table.size() < 256) return false;
  std::array<bool, 256> seen{};
  for (std::size_t i = 0; i < 256; ++i) seen[static_cast<unsigned char>(table[i])] = true;
  return std::all_of(seen.begin(), seen.end(), [](bool b) { return b; });
}

// 256 - step is Integer arithmetic and wraps for the most negative steps.
std::string LiteralTables::rotated(int t, bool left) const {
  const std::int32_t s = steps_[t];
  const auto complement = static_cast<std::int32_t>(256u - static_cast<std::uint32_t>(s));
  const std::string_view table = tables_[t];
  std::string result(left ? rightPart(table, complement) : rightPart(table, s));
  result += left ? leftPart(table, s) : leftPart(table, complement);
  return result;
}

bool LiteralTables::settled() const {
  for (int t = 0; t < kTableCount; ++t) {
    if (rotating(t)) continue;
    if (rotated(t, true) != tables_[t] || rotated(t, false) != tables_[t]) return false;
  }
  return true;
}

void LiteralTables::rotate() {
  for (int t = 0; t < kTableCount; ++t) {
    tables_[t] = rotated(t, clocks_[t].rotatesLeft());
    clocks_[t].tick();
  }
}

// Every lookup finds the byte's position in the alphabet (an empty string is
// found at position 1) and takes the table's byte there.
std::uint8_t LiteralTables::encrypt(std::uint8_t byte) {
  int x = byte;
  for (const std::string& table : tables_) {
    const std::size_t position = x == kEmpty ? 0 : static_cast<std::size_t>(x);
    x = position < table.size() ? static_cast<unsigned char>(table[position]) : kEmpty;
  }
  rotate();
  return x == kEmpty ? 0 : static_cast<std::uint8_t>(x);
}

// Every lookup finds the byte's first position in the table (an empty string
// is found at position 1, nothing is found in an empty table) and takes the
// alphabet's byte there, which exists only for the first 256 positions.
std::uint8_t LiteralTables::decrypt(std::uint8_t byte) {
  int x = byte;
  for (int t = kTableCount - 1; t >= 0; --t) {
    const std::string& table = tables_[t];
    if (table.empty()) {
      x = kEmpty;
    } else if (x == kEmpty) {
      x = 0;
    } else {
      const std::size_t found = table.find(static_cast<char>(x));
      x = found < 256 ? static_cast<int>(found) : kEmpty;
    }
  }
  rotate();
  return x == kEmpty ? 0 : static_cast<std::uint8_t>(x);
}

}  // namespace vantor::cipher
