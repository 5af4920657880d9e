// The turning state of one table (its step count, phase and direction) and
// the rotation offset it has built up. After each byte a table rotates left
// (direction above 0) or right by its step; the phase ends when the step count
// reaches the phase's period, and then phase and direction move on. The
// offset is the total left rotation modulo 256, so the table's byte at index x
// is its starting byte at (x + offset) mod 256.
//
// The state depends only on the number of bytes processed, so it can jump any
// distance ahead without walking every byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantor::cipher {

class RotationClock {
 public:
  RotationClock() = default;
  // step is the offset change of one left rotation (0 for a table that
  // rotation leaves unchanged).
  RotationClock(std::int32_t direction, std::int32_t periodA, std::int32_t periodB,
                std::uint8_t step);

  // The same turning state with another step and the offset back at 0.
  RotationClock restarted(std::uint8_t step) const;

  bool rotatesLeft() const { return direction_ > 0; }
  std::uint8_t offset() const { return offset_; }
  bool fixed() const { return step_ == 0; }

  // Processes one byte.
  void tick();
  // Processes n bytes.
  void skip(std::uint64_t n);
  // Writes the offsets in force for each of the next n bytes, then skips them.
  void fill(std::uint8_t* offsets, std::size_t n);

  // The direction has settled into its alternation between 0 and 1, so the
  // offsets from here on repeat with period().
  bool steady() const { return direction_ == 0 || direction_ == 1; }
  std::uint64_t period() const;
  // Bytes until steady(); saturates at kFar.
  std::uint64_t bytesUntilSteady() const;

  static constexpr std::uint64_t kFar = std::uint64_t{1} << 62;

 private:
  std::int64_t limit(std::int32_t phase) const { return phase == 0 ? periodA_ : periodB_; }
  std::uint64_t phaseLength(std::int32_t phase) const;
  std::uint64_t segmentRemaining() const;
  std::uint64_t bytesUntilTurn(std::uint64_t turns) const;
  std::uint64_t runLength() const;
  std::uint8_t delta(std::int32_t direction) const;
  void turn();

  std::int32_t direction_ = 0;
  std::int32_t phase_ = 0;
  std::int32_t stepCount_ = 0;
  std::int32_t periodA_ = 0;
  std::int32_t periodB_ = 0;
  std::uint8_t step_ = 0;
  std::uint8_t offset_ = 0;
};

}  // namespace vantor::cipher
