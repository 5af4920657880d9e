// Inside the numbers subsystem: the generator's state for the bulk draws.
#pragma once

#include <cstdint>

namespace rt::numbers {

// The generator's state, seeded from the clock first when it was never used.
std::int32_t seededRandomState();

}  // namespace rt::numbers
