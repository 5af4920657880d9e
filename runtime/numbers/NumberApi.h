// The random generator, rounding and the integer/double conversions.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
#include <cstdint>
#include <span>
#endif

#ifdef __cplusplus
extern "C" {
#endif

// The next value of the process-wide generator, in [0, 1) with 20-bit resolution.
double rnd(void);
// Rounds to the nearest integer, halfway cases away from zero.
double RuntimeRound(double x);
double RuntimeCvtSInt32ToReal64(int32_t n);
// Truncates toward zero; outside the int32 range (or NaN) gives INT32_MIN.
int32_t RuntimeCvtReal64ToSInt32(double x);

#ifdef __cplusplus
}

namespace rt::numbers {

// The generator's state (0 before the first draw); for tests that need a
// known sequence.
std::int32_t randomState();
void setRandomState(std::int32_t state);

// The generator's next out.size() draws at once, as rnd() would give them one
// by one, each as its 20-bit value (rnd() = value / 2^20).
void drawRandomBits(std::span<std::uint32_t> out);
// Advances the generator past count draws, as count rnd() calls would.
void discardRandom(std::uint64_t count);

}  // namespace rt::numbers
#endif
