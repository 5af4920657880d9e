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

// Who may see what the values become. Secret values (key material) and
// public ones (filler bytes, which every copy of an encrypted file shows) come
// from separate generators, so that seeing the one tells nothing of the other.
enum class RandomUse { Secret, Public };

// Fills out with uniform 20-bit values (value / 2^20 is a draw in [0, 1) of
// rnd's resolution) from the operating system's cryptographic random source,
// through a generator seeded from it: unlike rnd's, no value follows from the
// clock or from other values. False when the source cannot be read; out then
// holds no random values. It touches no runtime object, so any thread may
// call it.
[[nodiscard]] bool drawSecureRandomBits(std::span<std::uint32_t> out, RandomUse use);

}  // namespace rt::numbers
#endif
