#include "cipher/OffsetPlan.h"

#include <algorithm>
#include <cstring>

namespace vantor::cipher {
namespace {

// The longest repeating pattern worth laying out: a table's offsets repeat
// after at most 256 times its two periods, 5632 bytes for the periods that
// createsys writes.
constexpr std::uint64_t kLongestCycle = 8192;

alignas(64) constexpr std::uint8_t kZeros[kPieceBytes] = {};

}  // namespace

OffsetPlan::OffsetPlan(const std::array<RotationClock, kTableCount>& clocks) {
  for (int t = 0; t < kTableCount; ++t) {
    Table& table = tables_[t];
    table.start = clocks[t];
    if (table.start.fixed()) continue;
    const std::uint64_t untilSteady = table.start.bytesUntilSteady();
    if (untilSteady == RotationClock::kFar) continue;
    RotationClock clock = table.start;
    clock.skip(untilSteady);
    if (clock.period() > kLongestCycle) continue;
    table.cycleStart = untilSteady;
    table.period = clock.period();
    table.cycle.resize(table.period + kPieceBytes);
    clock.fill(table.cycle.data(), table.period);
    for (std::size_t i = table.period; i < table.cycle.size(); i += table.period) {
      std::memcpy(table.cycle.data() + i, table.cycle.data(),
                  std::min<std::size_t>(table.period, table.cycle.size() - i));
    }
  }
}

OffsetCursor::OffsetCursor(const OffsetPlan& plan) : plan_(plan) {
  for (int t = 0; t < kTableCount; ++t) clocks_[t] = plan.tables_[t].start;
}

// Whether the table's offsets from first on are generated rather than read.
bool OffsetCursor::generates(int t, std::uint64_t first) const {
  const OffsetPlan::Table& table = plan_.tables_[t];
  return !table.start.fixed() && (table.cycle.empty() || first < table.cycleStart);
}

std::size_t OffsetCursor::mostFrom(std::uint64_t first) const {
  for (int t = 0; t < kTableCount; ++t) {
    if (generates(t, first)) return kGeneratedPieceBytes;
  }
  return kPieceBytes;
}

OffsetRows OffsetCursor::rows(std::uint64_t first, std::size_t n) {
  OffsetRows rows;
  for (int t = 0; t < kTableCount; ++t) {
    const OffsetPlan::Table& table = plan_.tables_[t];
    if (table.start.fixed()) {
      rows.row[t] = kZeros;
    } else if (!generates(t, first)) {
      rows.row[t] = table.cycle.data() + (first - table.cycleStart) % table.period;
    } else {
      if (generated_.empty()) generated_.resize(kTableCount * kGeneratedPieceBytes);
      std::uint8_t* row = generated_.data() + t * kGeneratedPieceBytes;
      clocks_[t].skip(first - positions_[t]);
      clocks_[t].fill(row, n);
      positions_[t] = first + n;
      rows.row[t] = row;
    }
  }
  return rows;
}

}  // namespace vantor::cipher
