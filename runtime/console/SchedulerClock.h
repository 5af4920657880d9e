// The millisecond clock of the thread scheduler and the timers, derived from
// the tick clock (60 ticks a second, so a resolution of 16 2/3 ms). Every time
// the scheduler and the timers keep is a value of this clock, and every
// comparison of two values is a wrapping difference.
#pragma once

#include <cstdint>

namespace rt::console {

// Ticks x 50 / 3, offset by 2^31, modulo 2^32.
std::uint32_t schedulerMilliseconds();
// The same clock without the offset, as a signed number.
std::int32_t timerMilliseconds();
// Blocks the calling thread for about that many milliseconds.
void pauseMilliseconds(std::uint32_t milliseconds);

// Where the clock comes from. Tests install a clock they control, whose pause
// advances it instead of waiting.
struct ClockSource {
  std::int32_t (*ticks)();
  void (*pause)(std::uint32_t milliseconds);
};

void setClockSource(const ClockSource& source);
const ClockSource& clockSource();
// The tick clock and nanosleep.
const ClockSource& systemClock();

}  // namespace rt::console
