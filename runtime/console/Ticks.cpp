#include <time.h>

#include <cstdint>

#include "console/ConsoleApi.h"

// The tick count of the same elapsed-time clock that times() counts (time since
// boot), read through the coarse monotonic clock: compiled loops read it at
// every yield point, and the coarse clock costs nanoseconds where times() costs
// a system call. Its resolution of a few milliseconds is far below a tick.
// Whole ticks are counted in 64 bits and wrap to 32 like any tick difference.
extern "C" int32_t RuntimeTicks(void) {
  constexpr std::int64_t kTicksPerSecond = 60;
  constexpr std::int64_t kNanosecondsPerSecond = 1000000000;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  const std::int64_t ticks =
      now.tv_sec * kTicksPerSecond + now.tv_nsec * kTicksPerSecond / kNanosecondsPerSecond;
  return static_cast<int32_t>(static_cast<std::uint32_t>(ticks));
}
