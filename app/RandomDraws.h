// The one place the application gets random values: every value of a new
// key system and every filler byte. Each value is a uniform 20-bit number;
// value / 2^20 stands where the key and filler algorithms take a draw in
// [0, 1). The values come from the operating system's cryptographic random
// source (numbers/NumberApi.h), never from the clock-seeded rnd that compiled
// code uses.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "cipher/Cipher.h"
#include "numbers/NumberApi.h"

namespace vantor::app {

// Fills out with the next values in order; false when they cannot be read.
using RandomReader = std::function<bool(std::span<std::uint32_t> out)>;

// One thread at a time may draw: the cipher engine draws filler values on
// whichever of its threads gets to them.
class RandomDraws final : public cipher::RandomSource {
 public:
  explicit RandomDraws(rt::numbers::RandomUse use);

  // Whether the source can be read, tried now when nothing was read yet; so
  // it tells before anything is written. False from the first failed read on:
  // the values since are not random, and nothing made of them may be kept.
  [[nodiscard]] bool available();

  // The next value.
  std::uint32_t next() {
    if (next_ == buffer_.size()) refill();
    return buffer_[next_++];
  }
  // The next out.size() values, in order.
  void draw(std::span<std::uint32_t> out) override;

 private:
  void refill();
  void read(std::span<std::uint32_t> out);

  RandomReader reader_;
  std::vector<std::uint32_t> buffer_;
  std::size_t next_ = 0;
  bool available_ = true;
};

// For tests: the reader of every RandomDraws made from now on; an empty one
// restores the operating system's source.
void replaceRandomReader(RandomReader reader);

}  // namespace vantor::app
