// The runtime's random generator, the minimal standard generator of Park and
// Miller (state = 16807 * state mod 2^31 - 1), stepped in bulk for a
// RandomSource that fills many values at once: from the same state it gives
// the same values, the low 20 bits of each new state, as stepping one at a
// time, without the serial chain of one step's division after another.
#pragma once

#include <cstdint>
#include <span>

namespace vantor::cipher {

// Fills values with the next draws from state, which must be a seeded state
// (1 to 2^31 - 2), and returns the state after the last draw.
std::int32_t drawParkMiller(std::int32_t state, std::span<std::uint32_t> values);

}  // namespace vantor::cipher
