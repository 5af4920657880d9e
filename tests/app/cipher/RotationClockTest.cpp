// The clock's jumps and generated offsets against ticking byte by byte.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "cipher/RotationClock.h"

namespace vantor::cipher {
namespace {

struct ClockCase {
  std::int32_t direction, periodA, periodB;
  std::uint8_t step;
};

constexpr ClockCase kCases[] = {
    {1, 3, 2, 5},       {0, 1, 1, 1},          {0, 11, 1, 11},     {1, 0, 0, 7},
    {-1, 2, 3, 1},      {-99, 5, 7, 3},        {2, 4, 4, 9},       {999, 1, 2, 200},
    {1, -5, 999, 13},   {0, 999, 999, 255},    {INT_MAX, 2, 3, 1}, {INT_MIN, 1, 1, 1},
    {1, INT_MAX, 1, 1}, {-3, INT_MIN, 2, 128}, {1, 6, 6, 0},
};

std::vector<std::uint8_t> tickedOffsets(RotationClock clock, std::size_t n) {
  std::vector<std::uint8_t> offsets;
  for (std::size_t i = 0; i < n; ++i) {
    offsets.push_back(clock.offset());
    clock.tick();
  }
  return offsets;
}

TEST(RotationClock, SpecimenTurns) {
  // Left by 5 after each of 3 bytes, right by 5 after each of the next 2.
  const auto offsets = tickedOffsets(RotationClock(1, 3, 2, 5), 8);
  EXPECT_EQ(offsets, (std::vector<std::uint8_t>{0, 5, 10, 15, 10, 5, 10, 15}));
  // Direction 0, periods of 1: right, left, right... so the table repeats every 2 bytes.
  EXPECT_EQ(tickedOffsets(RotationClock(0, 1, 1, 1), 5),
            (std::vector<std::uint8_t>{0, 255, 0, 255, 0}));
}

// Jumps of random distances, and a fill in two parts.
TEST(RotationClock, SkipAndFillMatchTicking) {
  std::mt19937 rng(5);
  for (const ClockCase& c : kCases) {
    const RotationClock start(c.direction, c.periodA, c.periodB, c.step);
    const std::vector<std::uint8_t> expected = tickedOffsets(start, 6000);
    RotationClock jumping = start;
    for (std::size_t at = 0;;) {
      const std::size_t distance = std::uniform_int_distribution<std::size_t>(0, 900)(rng);
      if (at + distance >= expected.size()) break;
      jumping.skip(distance);
      at += distance;
      ASSERT_EQ(jumping.offset(), expected[at]) << "direction " << c.direction << ", byte " << at;
    }
    RotationClock filling = start;
    std::vector<std::uint8_t> filled(expected.size());
    filling.fill(filled.data(), 1234);
    filling.fill(filled.data() + 1234, filled.size() - 1234);
    EXPECT_EQ(filled, expected) << "direction " << c.direction;
  }
}

// From the first steady byte on, the offsets repeat with the period.
TEST(RotationClock, SteadyOffsetsRepeatWithThePeriod) {
  for (const ClockCase& c : kCases) {
    RotationClock clock(c.direction, c.periodA, c.periodB, c.step);
    const std::uint64_t untilSteady = clock.bytesUntilSteady();
    if (untilSteady > 100000) continue;
    RotationClock before = clock;
    if (untilSteady > 0) {
      before.skip(untilSteady - 1);
      EXPECT_FALSE(before.steady()) << "direction " << c.direction;
    }
    clock.skip(untilSteady);
    ASSERT_TRUE(clock.steady());
    const std::uint64_t period = clock.period();
    if (period > 20000) continue;
    const auto offsets = tickedOffsets(clock, period + 1000);
    for (std::size_t i = 0; i < 1000; ++i) {
      ASSERT_EQ(offsets[i + period], offsets[i]) << "direction " << c.direction << ", byte " << i;
    }
  }
}

}  // namespace
}  // namespace vantor::cipher
