// The number of filler bytes after each cipher byte: the schedule's counts
// E(1), E(2), ... taken in turn and starting again at E(1) after E(20000).
// A count below 0 means none, as a loop up to it runs no times; without
// expansion there are none at all.
#pragma once

#include <cstdint>
#include <memory>

#include "cipher/Cipher.h"

namespace vantor::cipher {

class FillerCounts {
 public:
  explicit FillerCounts(const Schedule& schedule);

  bool on() const { return counts_ != nullptr; }
  // The count for the next cipher byte.
  std::uint32_t next() {
    index_ = index_ == kScheduleLength ? 1 : index_ + 1;
    return (*counts_)[index_];
  }

 private:
  std::shared_ptr<const std::array<std::uint32_t, kScheduleLength + 1>> counts_;
  int index_ = 0;
};

}  // namespace vantor::cipher
