#include <sys/times.h>
#include <unistd.h>

#include "console/ConsoleApi.h"

extern "C" int32_t RuntimeTicks(void) {
  static const double ticksPerClock = 60.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  return static_cast<int32_t>(static_cast<double>(times(nullptr)) * ticksPerClock);
}
