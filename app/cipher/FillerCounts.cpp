#include "cipher/FillerCounts.h"

#include <algorithm>

namespace vantor::cipher {

FillerCounts::FillerCounts(const Schedule& schedule) {
  if (!schedule.on) return;
  auto counts = std::make_shared<std::array<std::uint32_t, kScheduleLength + 1>>();
  std::transform(schedule.counts.begin(), schedule.counts.end(), counts->begin(),
                 [](std::int32_t count) { return static_cast<std::uint32_t>(std::max(count, 0)); });
  counts_ = std::move(counts);
}

}  // namespace vantor::cipher
