// Input read a block at a time into a buffer of its own and handed on from
// there: for engines with fillers, whose units take other amounts of input
// than a block.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace vantor::cipher {

class StagedInput {
 public:
  explicit StagedInput(std::size_t blockBytes)
      : size_(std::max<std::size_t>(blockBytes, 1)),
        bytes_(std::make_unique_for_overwrite<std::uint8_t[]>(size_)) {}

  // Room for the next input; empty once it has been refused.
  std::span<std::uint8_t> space() const {
    if (refused_) return {};
    return {bytes_.get(), size_};
  }
  // Hands the first n bytes of space() to take, a function of the bytes that
  // returns false to refuse them; false from the first refusal on.
  template <class Take>
  bool commit(std::size_t n, Take&& take) {
    if (!refused_ && !take(std::span<const std::uint8_t>(bytes_.get(), n))) refused_ = true;
    return !refused_;
  }
  bool refused() const { return refused_; }

 private:
  std::size_t size_;
  std::unique_ptr<std::uint8_t[]> bytes_;
  bool refused_ = false;
};

}  // namespace vantor::cipher
