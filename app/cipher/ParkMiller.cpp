#include "cipher/ParkMiller.h"

#include <array>
#include <cstddef>

namespace vantor::cipher {
namespace {

constexpr std::uint64_t kModulus = 0x7FFFFFFF;
constexpr std::uint64_t kMultiplier = 16807;
constexpr std::size_t kLanes = 8;

// x * y mod 2^31 - 1 for x, y below 2^31: as 2^31 = 1 modulo 2^31 - 1, the
// bits above 31 fold back onto the low ones.
constexpr std::uint64_t timesModulo(std::uint64_t x, std::uint64_t y) {
  std::uint64_t r = x * y;
  r = (r & kModulus) + (r >> 31);
  r = (r & kModulus) + (r >> 31);
  return r >= kModulus ? r - kModulus : r;
}

// The multipliers a^1 to a^kLanes, which take one state to each of the next
// kLanes states at once.
constexpr std::array<std::uint64_t, kLanes> kPowers = [] {
  std::array<std::uint64_t, kLanes> powers{};
  std::uint64_t power = 1;
  for (std::uint64_t& p : powers) p = power = timesModulo(power, kMultiplier);
  return powers;
}();

constexpr std::uint32_t kValueMask = 0xFFFFF;

}  // namespace

std::int32_t drawParkMiller(std::int32_t state, std::span<std::uint32_t> values) {
  auto current = static_cast<std::uint64_t>(state);
  std::size_t i = 0;
  // kLanes independent chains, each a^kLanes apart.
  for (; i + kLanes <= values.size(); i += kLanes) {
    std::uint64_t lanes[kLanes];
    for (std::size_t l = 0; l < kLanes; ++l) lanes[l] = timesModulo(current, kPowers[l]);
    for (std::size_t l = 0; l < kLanes; ++l) values[i + l] = static_cast<std::uint32_t>(lanes[l]) & kValueMask;
    current = lanes[kLanes - 1];
  }
  for (; i < values.size(); ++i) {
    current = timesModulo(current, kMultiplier);
    values[i] = static_cast<std::uint32_t>(current) & kValueMask;
  }
  return static_cast<std::int32_t>(current);
}

}  // namespace vantor::cipher
