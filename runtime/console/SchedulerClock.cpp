#include "console/SchedulerClock.h"

#include <cerrno>
#include <ctime>

#include "console/ConsoleApi.h"

namespace rt::console {
namespace {

void sleepFor(std::uint32_t milliseconds) {
  timespec remaining{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&remaining, &remaining) == -1 && errno == EINTR) {
  }
}

constexpr ClockSource kSystemClock{&RuntimeTicks, &sleepFor};

ClockSource source = kSystemClock;

// Ticks x 50 / 3 in 64 bits, truncated to the 32 bits the clock keeps.
std::uint32_t unshiftedMilliseconds() {
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(source.ticks()) * 50 / 3);
}

}  // namespace

std::uint32_t schedulerMilliseconds() { return unshiftedMilliseconds() + 0x80000000u; }

std::int32_t timerMilliseconds() { return static_cast<std::int32_t>(unshiftedMilliseconds()); }

void pauseMilliseconds(std::uint32_t milliseconds) { source.pause(milliseconds); }

void setClockSource(const ClockSource& clock) { source = clock; }

const ClockSource& clockSource() { return source; }

const ClockSource& systemClock() { return kSystemClock; }

}  // namespace rt::console
