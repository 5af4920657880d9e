// The number of filler bytes after each cipher byte: the schedule's counts
// E(1), E(2), ... taken in turn and starting again at E(1) after E(20000).
// A count below 0 means none, as a loop up to it runs no times; without
// expansion there are none at all. Running sums of the counts let the
// fillers of any number of bytes ahead be told at once.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "cipher/Cipher.h"

namespace vantor::cipher {

class FillerCounts {
 public:
  // No fillers at all.
  FillerCounts() = default;
  explicit FillerCounts(const Schedule& schedule);

  bool on() const { return table_ != nullptr; }
  // The count for the next cipher byte.
  std::uint32_t next() {
    index_ = index_ == kScheduleLength ? 1 : index_ + 1;
    return table_->counts[index_];
  }
  // Takes the counts of the next n cipher bytes.
  void skip(std::uint64_t n);

  // The fillers of the next n cipher bytes.
  std::uint64_t fillersAhead(std::uint64_t n) const;
  // The fewest next cipher bytes (at least 1) that, each followed by its
  // fillers, make at least outputBytes of output.
  std::uint64_t cipherBytesFilling(std::uint64_t outputBytes) const;

 private:
  struct Table {
    std::array<std::uint32_t, kScheduleLength + 1> counts{};
    // sums[k]: the counts E(1) to E(k).
    std::array<std::uint64_t, kScheduleLength + 1> sums{};
  };

  // E(1) to E(k).
  std::uint64_t sumTo(int k) const { return table_->sums[k]; }

  std::shared_ptr<const Table> table_;
  int index_ = 0;  // the count last taken; 0 before the first
};

}  // namespace vantor::cipher
