// Where each table's rotation offsets come from, for any stretch of the
// stream: a table that never rotates reads zeros; one whose turns have
// settled into a short repeating pattern reads that pattern, laid out once;
// any other table has its offsets generated from its clock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cipher/Cipher.h"
#include "cipher/Kernels.h"
#include "cipher/RotationClock.h"

namespace vantor::cipher {

// The most bytes a kernel is given at once; fewer where a table's offsets are
// generated, so that the rows each thread generates stay small however many
// threads cipher.
inline constexpr std::size_t kPieceBytes = 8192;
inline constexpr std::size_t kGeneratedPieceBytes = 2048;

class OffsetPlan {
 public:
  // clocks: the tables' clocks at byte 0 of the stream.
  explicit OffsetPlan(const std::array<RotationClock, kTableCount>& clocks);

 private:
  friend class OffsetCursor;

  struct Table {
    RotationClock start;
    // The offsets from byte cycleStart on, period bytes long and then
    // kPieceBytes more, so that any piece reads it without wrapping.
    std::vector<std::uint8_t> cycle;
    std::uint64_t cycleStart = 0;
    std::uint64_t period = 0;
  };

  std::array<Table, kTableCount> tables_;
};

// One thread's reader of a plan. Pieces must be asked for in increasing order.
class OffsetCursor {
 public:
  explicit OffsetCursor(const OffsetPlan& plan);

  // The most bytes rows() gives from first on.
  std::size_t mostFrom(std::uint64_t first) const;
  // The offsets of bytes first to first + n - 1 (n at most mostFrom(first)),
  // valid until the next call.
  OffsetRows rows(std::uint64_t first, std::size_t n);

 private:
  bool generates(int t, std::uint64_t first) const;

  const OffsetPlan& plan_;
  std::array<RotationClock, kTableCount> clocks_;
  std::array<std::uint64_t, kTableCount> positions_{};
  std::vector<std::uint8_t> generated_;
};

}  // namespace vantor::cipher
