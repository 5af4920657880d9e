#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "host/IntrinsicTable.h"
#include "numbers/NumberApi.h"
#include "numbers/TwentyBitValues.h"

namespace {

class RandomTest : public ::testing::Test {
 protected:
  void TearDown() override { rt::numbers::setRandomState(saved_); }

 private:
  std::int32_t saved_ = rt::numbers::randomState();
};

TEST_F(RandomTest, ParkMillerKnownAnswers) {
  rt::numbers::setRandomState(1);
  rnd();
  EXPECT_EQ(rt::numbers::randomState(), 16807);
  const double second = rnd();
  EXPECT_EQ(rt::numbers::randomState(), 282475249);
  EXPECT_EQ(second, (282475249 & 0xFFFFF) / 1048576.0);

  rt::numbers::setRandomState(1);
  for (int i = 0; i < 10000; ++i) rnd();
  EXPECT_EQ(rt::numbers::randomState(), 1043618065);
}

TEST_F(RandomTest, SeedsOnFirstUseAndStaysInRange) {
  rt::numbers::setRandomState(0);
  for (int i = 0; i < 100000; ++i) {
    const double value = rnd();
    ASSERT_GE(value, 0.0);
    ASSERT_LT(value, 1.0);
    ASSERT_GE(rt::numbers::randomState(), 1);
    ASSERT_LE(rt::numbers::randomState(), 0x7FFFFFFE);
  }
}

TEST_F(RandomTest, ReturnsZeroWhenLowBitsAreZero) {
  // 16807 * s mod (2^31 - 1) with low 20 bits 0: solve backwards from 2^20.
  // s = 2^20 * 16807^-1 mod m; 16807^-1 mod m is 1407677000.
  const std::int64_t inverse = 1407677000;
  const auto state = static_cast<std::int32_t>((std::int64_t{1} << 20) * inverse % 0x7FFFFFFF);
  rt::numbers::setRandomState(state);
  EXPECT_EQ(rnd(), 0.0);
  EXPECT_EQ(rt::numbers::randomState(), 1 << 20);
}

// Value i is bits 20i to 20i + 19 of the bytes read lowest bit first, with
// and without the vector unit, however many groups there are.
TEST(SecureRandomTest, BytesUnpackIntoTightlyPackedValues) {
  std::mt19937 rng(7);
  for (std::size_t groups : {1u, 2u, 3u, 17u, 2048u}) {
    std::vector<std::uint8_t> bytes(groups * rt::numbers::kGroupBytes);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(rng());
    std::vector<std::uint32_t> expected(groups * rt::numbers::kGroupValues);
    for (std::size_t i = 0; i < expected.size(); ++i) {
      for (std::size_t bit = 0; bit < 20; ++bit) {
        const std::size_t at = 20 * i + bit;
        expected[i] |= static_cast<std::uint32_t>((bytes[at / 8] >> (at % 8)) & 1) << bit;
      }
    }
    std::vector<std::uint32_t> values(expected.size());
    rt::numbers::unpackTwentyBitValues(bytes, values);
    EXPECT_EQ(values, expected) << groups << " groups";
    std::fill(values.begin(), values.end(), 0);
    rt::numbers::unpackTwentyBitValuesPortably(bytes, values);
    EXPECT_EQ(values, expected) << groups << " groups, portably";
  }
}

// Every slot filled with a 20-bit value at every size, the tail of a block
// included, and each of the 20 bits set about half the time: a bit lost or
// doubled by the packing shows at once.
TEST(SecureRandomTest, FillsEverySlotWithUniformBits) {
  for (const auto use : {rt::numbers::RandomUse::Public, rt::numbers::RandomUse::Secret}) {
    for (std::size_t count : {1u, 7u, 8u, 9u, 4095u, 4096u, 4097u, 10007u}) {
      std::vector<std::uint32_t> values(count, 0xFFFFFFFF);
      ASSERT_TRUE(rt::numbers::drawSecureRandomBits(values, use));
      for (std::uint32_t value : values) ASSERT_LT(value, 1u << 20) << count << " values";
    }
    std::vector<std::uint32_t> values(1 << 20);
    ASSERT_TRUE(rt::numbers::drawSecureRandomBits(values, use));
    for (int bit = 0; bit < 20; ++bit) {
      const auto ones = std::count_if(values.begin(), values.end(),
                                      [bit](std::uint32_t v) { return (v >> bit) & 1; });
      EXPECT_NEAR(static_cast<double>(ones) / values.size(), 0.5, 0.01) << "bit " << bit;
    }
    std::vector<std::uint32_t> again(values.size());
    ASSERT_TRUE(rt::numbers::drawSecureRandomBits(again, use));
    EXPECT_NE(values, again);
  }
}

TEST(RoundTest, HalvesGoAwayFromZero) {
  const std::pair<double, double> cases[] = {{2.5, 3}, {-2.5, -3}, {0.49999, 0}, {-0.5, -1},
                                             {1.5, 2}, {-1.4, -1}, {0, 0}};
  for (const auto& [in, out] : cases)
    EXPECT_EQ(RuntimeRound(in), out) << "RuntimeRound(" << in << ")";
}

TEST(ConversionTest, TruncatesTowardZeroAndSaturatesToIndefinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, std::int32_t> cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {-0.7, 0},
      {3.0e9, INT32_MIN},
      {-3.0e9, INT32_MIN},
      {2147483647.9, 2147483647},
      {-2147483648.9, INT32_MIN},
      {-2147483647.5, -2147483647},
      {nan, INT32_MIN},
      {inf, INT32_MIN},
      {-inf, INT32_MIN},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(RuntimeCvtReal64ToSInt32(in), out) << "RuntimeCvtReal64ToSInt32(" << in << ")";
  }
  EXPECT_EQ(RuntimeCvtSInt32ToReal64(INT32_MIN), -2147483648.0);
}

TEST(ConversionTest, EntryPointsAreInTheIntrinsicTable) {
  for (const char* name :
       {"rnd", "RuntimeRound", "RuntimeCvtReal64ToSInt32", "RuntimeCvtSInt32ToReal64"}) {
    EXPECT_NE(rt::intrinsics::lookup(name), nullptr) << name;
  }
}

}  // namespace
