#include <array>
#include <cmath>
#include <ctime>

#include "numbers/NumberApi.h"

namespace rt::numbers {
namespace {

constexpr std::int32_t kModulus = 0x7FFFFFFF;  // 2^31 - 1
constexpr std::int32_t kMultiplier = 16807;
constexpr std::int32_t kQuotient = 127773;   // kModulus / kMultiplier
constexpr std::int32_t kRemainder = 2836;    // kModulus % kMultiplier
constexpr int kDiscardedAfterSeeding = 7;

std::int32_t state = 0;

// One Park-Miller step by Schrage's method: no 32-bit overflow.
std::int32_t advance(std::int32_t s) {
  const std::int32_t hi = s / kQuotient;
  const std::int32_t lo = s % kQuotient;
  std::int32_t t = kMultiplier * lo - kRemainder * hi;
  if (t <= 0) t += kModulus;
  return t;
}

void seedFromClock() {
  state = static_cast<std::int32_t>(static_cast<std::uint32_t>(std::time(nullptr)) & 0x7FFFFFFFu);
  // 0 and the modulus itself are fixed points of the generator.
  if (state == 0 || state == kModulus) state = 1;
  for (int i = 0; i < kDiscardedAfterSeeding; ++i) state = advance(state);
}

double nextRandom() {
  if (state == 0) seedFromClock();
  state = advance(state);
  return static_cast<double>(state & 0xFFFFF) * 9.5367431640625e-7;  // 2^-20
}

// Mersenne folding: x * y mod (2^31 - 1) for factors below the modulus, the
// same residue as Schrage's method without its divisions.
std::uint64_t multiplyModulo(std::uint64_t x, std::uint64_t y) {
  std::uint64_t product = x * y;
  product = (product & kModulus) + (product >> 31);
  product = (product & kModulus) + (product >> 31);
  return product >= static_cast<std::uint64_t>(kModulus) ? product - kModulus : product;
}

std::uint64_t powerModulo(std::uint64_t base, std::uint64_t exponent) {
  std::uint64_t result = 1;
  for (; exponent != 0; exponent >>= 1) {
    if (exponent & 1) result = multiplyModulo(result, base);
    base = multiplyModulo(base, base);
  }
  return result;
}

constexpr std::size_t kLanes = 8;

}  // namespace

void drawRandomBits(std::span<std::uint32_t> out) {
  if (out.empty()) return;
  if (state == 0) seedFromClock();
  // Eight interleaved lanes, each leaping eight draws at a time, so the
  // multiplications do not wait on one another.
  std::array<std::uint64_t, kLanes> lanes{};
  std::uint64_t s = static_cast<std::uint64_t>(state);
  for (auto& lane : lanes) lane = s = multiplyModulo(s, kMultiplier);
  const std::uint64_t leap = powerModulo(kMultiplier, kLanes);
  std::uint64_t last = 0;
  std::size_t i = 0;
  for (; i + kLanes <= out.size(); i += kLanes) {
    last = lanes[kLanes - 1];
    for (std::size_t j = 0; j < kLanes; ++j) {
      out[i + j] = static_cast<std::uint32_t>(lanes[j] & 0xFFFFF);
      lanes[j] = multiplyModulo(lanes[j], leap);
    }
  }
  for (std::size_t j = 0; i < out.size(); ++i, ++j) {
    out[i] = static_cast<std::uint32_t>(lanes[j] & 0xFFFFF);
    last = lanes[j];
  }
  state = static_cast<std::int32_t>(last);
}

void discardRandom(std::uint64_t count) {
  if (count == 0) return;
  if (state == 0) seedFromClock();
  state = static_cast<std::int32_t>(
      multiplyModulo(static_cast<std::uint64_t>(state), powerModulo(kMultiplier, count)));
}

std::int32_t randomState() { return state; }
void setRandomState(std::int32_t s) { state = s; }

}  // namespace rt::numbers

extern "C" {

double rnd(void) { return rt::numbers::nextRandom(); }

double RuntimeRound(double x) { return std::round(x); }

double RuntimeCvtSInt32ToReal64(int32_t n) { return n; }

int32_t RuntimeCvtReal64ToSInt32(double x) {
  // Inside (-2^31 - 1, 2^31) truncation fits; everything else, NaN included,
  // gives the integer-indefinite value the processor's conversion produces.
  if (x > -2147483649.0 && x < 2147483648.0) return static_cast<int32_t>(x);
  return INT32_MIN;
}

}  // extern "C"
