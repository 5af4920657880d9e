#include "cipher/RotationClock.h"

#include <algorithm>
#include <numeric>

namespace vantor::cipher {
namespace {

// d * n modulo 256.
std::uint8_t times(std::uint8_t d, std::uint64_t n) {
  return static_cast<std::uint8_t>(d * static_cast<unsigned>(n & 0xFF));
}

}  // namespace

RotationClock::RotationClock(std::int32_t direction, std::int32_t periodA, std::int32_t periodB,
                             std::uint8_t step)
    : direction_(direction), periodA_(periodA), periodB_(periodB), step_(step) {}

RotationClock RotationClock::restarted(std::uint8_t step) const {
  RotationClock clock = *this;
  clock.step_ = step;
  clock.offset_ = 0;
  return clock;
}

std::uint8_t RotationClock::delta(std::int32_t direction) const {
  return direction > 0 ? step_ : static_cast<std::uint8_t>(-step_);
}

// A period below 1 still lasts one byte: the turn test follows the count's
// increment.
std::uint64_t RotationClock::phaseLength(std::int32_t phase) const {
  return static_cast<std::uint64_t>(std::max<std::int64_t>(1, limit(phase)));
}

std::uint64_t RotationClock::segmentRemaining() const {
  return static_cast<std::uint64_t>(std::max<std::int64_t>(1, limit(phase_) - stepCount_));
}

// Bytes up to and including the one that makes the given number of turns.
std::uint64_t RotationClock::bytesUntilTurn(std::uint64_t turns) const {
  const std::uint64_t following = turns - 1;
  const std::uint64_t bytes = segmentRemaining() + (following + 1) / 2 * phaseLength(1 - phase_) +
                              following / 2 * phaseLength(phase_);
  return std::min(bytes, kFar);
}

// A left run ends with its phase. A right run lasts until the direction,
// counting up by one a turn, has reached 1.
std::uint64_t RotationClock::runLength() const {
  if (direction_ > 0) return segmentRemaining();
  return bytesUntilTurn(static_cast<std::uint64_t>(1 - static_cast<std::int64_t>(direction_)));
}

void RotationClock::turn() {
  phase_ = phase_ + 1 > 1 ? 0 : phase_ + 1;
  // Integer arithmetic wraps: the largest direction turns into the smallest.
  direction_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(direction_) + 1u);
  if (direction_ > 1) direction_ = 0;
  stepCount_ = 0;
}

void RotationClock::tick() {
  offset_ = static_cast<std::uint8_t>(offset_ + delta(direction_));
  ++stepCount_;
  if (!(stepCount_ < limit(phase_))) turn();
}

void RotationClock::skip(std::uint64_t n) {
  while (n > 0) {
    const std::uint64_t remaining = segmentRemaining();
    if (n < remaining) {
      offset_ = static_cast<std::uint8_t>(offset_ + times(delta(direction_), n));
      stepCount_ += static_cast<std::int32_t>(n);
      return;
    }
    offset_ = static_cast<std::uint8_t>(offset_ + times(delta(direction_), remaining));
    n -= remaining;
    turn();
    // At a turn: whole pairs of phases go at once.
    const std::uint64_t pair = phaseLength(0) + phaseLength(1);
    if (n < pair) continue;
    if (steady()) {
      const std::uint8_t drift =
          static_cast<std::uint8_t>(times(delta(direction_), phaseLength(phase_)) +
                                    times(delta(1 - direction_), phaseLength(1 - phase_)));
      const std::uint64_t pairs = n / pair;
      offset_ = static_cast<std::uint8_t>(offset_ + times(drift, pairs));
      n -= pairs * pair;
    } else if (direction_ < 0) {
      // Both phases of a pair turn right while the direction stays at or below 0.
      const std::uint64_t pairs = std::min(
          n / pair, static_cast<std::uint64_t>((1 - static_cast<std::int64_t>(direction_)) / 2));
      offset_ = static_cast<std::uint8_t>(offset_ + times(times(delta(0), pair), pairs));
      direction_ = static_cast<std::int32_t>(direction_ + 2 * static_cast<std::int64_t>(pairs));
      n -= pairs * pair;
    }
  }
}

void RotationClock::fill(std::uint8_t* offsets, std::size_t n) {
  // Below this, working out a run costs more than ticking through it.
  constexpr std::uint64_t kShortRun = 16;
  while (n > 0) {
    const std::uint64_t length = runLength();
    if (length < kShortRun) {
      *offsets++ = offset_;
      tick();
      --n;
      continue;
    }
    const auto run = static_cast<std::size_t>(std::min<std::uint64_t>(length, n));
    const std::uint8_t d = delta(direction_);
    const std::uint8_t start = offset_;
    for (std::size_t j = 0; j < run; ++j)
      offsets[j] = static_cast<std::uint8_t>(start + d * static_cast<unsigned>(j));
    skip(run);
    offsets += run;
    n -= run;
  }
}

std::uint64_t RotationClock::period() const {
  const std::int32_t directionInPhase0 = phase_ == 0 ? direction_ : 1 - direction_;
  const auto drift = static_cast<std::uint8_t>(times(delta(directionInPhase0), phaseLength(0)) +
                                               times(delta(1 - directionInPhase0), phaseLength(1)));
  const unsigned turnsOfOffset = 256 / std::gcd(unsigned{drift}, 256u);
  return (phaseLength(0) + phaseLength(1)) * turnsOfOffset;
}

std::uint64_t RotationClock::bytesUntilSteady() const {
  RotationClock clock = *this;
  std::uint64_t total = 0;
  while (!clock.steady()) {
    // Above 1 one turn leads to 0; below 0 it takes one turn per unit.
    const std::uint64_t turns =
        clock.direction_ > 1
            ? 1
            : static_cast<std::uint64_t>(-static_cast<std::int64_t>(clock.direction_));
    const std::uint64_t bytes = clock.bytesUntilTurn(turns);
    total += bytes;
    if (total >= kFar) return kFar;
    clock.skip(bytes);
  }
  return total;
}

}  // namespace vantor::cipher
