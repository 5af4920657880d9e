// The random generator, rounding and the integer/double conversions.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
#include <cstdint>
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

}  // namespace rt::numbers
#endif
