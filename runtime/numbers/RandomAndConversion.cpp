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

}  // namespace

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
