#include "cipher/FillerCounts.h"

#include <algorithm>

namespace vantor::cipher {

FillerCounts::FillerCounts(const Schedule& schedule) {
  if (!schedule.on) return;
  auto table = std::make_shared<Table>();
  for (int k = 1; k <= kScheduleLength; ++k) {
    table->counts[k] = static_cast<std::uint32_t>(std::max(schedule.counts[k], 0));
    table->sums[k] = table->sums[k - 1] + table->counts[k];
  }
  table_ = std::move(table);
}

void FillerCounts::skip(std::uint64_t n) {
  if (n == 0) return;
  index_ = static_cast<int>((index_ + n - 1) % kScheduleLength + 1);
}

std::uint64_t FillerCounts::fillersAhead(std::uint64_t n) const {
  const std::uint64_t rounds = n / kScheduleLength;
  const int rest = static_cast<int>(n % kScheduleLength);
  std::uint64_t fillers = rounds * sumTo(kScheduleLength);
  if (index_ + rest <= kScheduleLength) {
    fillers += sumTo(index_ + rest) - sumTo(index_);
  } else {
    fillers += sumTo(kScheduleLength) - sumTo(index_) + sumTo(index_ + rest - kScheduleLength);
  }
  return fillers;
}

// Output grows with every cipher byte, so the answer is found by halving;
// outputBytes cipher bytes always suffice.
std::uint64_t FillerCounts::cipherBytesFilling(std::uint64_t outputBytes) const {
  std::uint64_t low = 1;
  std::uint64_t high = std::max<std::uint64_t>(outputBytes, 1);
  while (low < high) {
    const std::uint64_t middle = low + (high - low) / 2;
    if (middle + fillersAhead(middle) >= outputBytes) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

}  // namespace vantor::cipher
