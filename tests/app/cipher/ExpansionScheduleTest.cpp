#include <gtest/gtest.h>

#include <random>

#include "cipher/Cipher.h"

namespace vantor::cipher {
namespace {

TEST(ExpansionSchedule, TenSeedsOfOne) {
  std::array<std::int32_t, kSeedCount> seeds;
  seeds.fill(1);
  const Schedule schedule = buildSchedule(seeds);
  EXPECT_TRUE(schedule.on);
  const std::int32_t first[] = {2, 3, 2, 2, 1, 3, 2, 3, 2, 3};
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(schedule.counts[i], first[i - 1]) << "E(" << i << ")";
  const std::int32_t last[] = {7, 15, 13, 4, 19};
  for (int i = 4996; i <= 5000; ++i)
    EXPECT_EQ(schedule.counts[i], last[i - 4996]) << "E(" << i << ")";
}

TEST(ExpansionSchedule, SeedsAddingUpToZeroTurnExpansionOff) {
  for (const auto& seeds :
       {std::array<std::int32_t, kSeedCount>{}, std::array<std::int32_t, kSeedCount>{5, -5}}) {
    const Schedule schedule = buildSchedule(seeds);
    EXPECT_FALSE(schedule.on);
    for (int i = 11; i <= kScheduleLength; ++i)
      ASSERT_EQ(schedule.counts[i], 0) << "E(" << i << ")";
  }
}

// Whatever the positive seeds, every count is at least 1 and the one count
// never written, E(4997), becomes 15.
TEST(ExpansionSchedule, PositiveSeedsGiveCountsOfAtLeastOne) {
  std::mt19937 rng(11);
  for (int highest : {11, 51, 100}) {
    for (int round = 0; round < 20; ++round) {
      std::array<std::int32_t, kSeedCount> seeds;
      for (std::int32_t& seed : seeds) seed = std::uniform_int_distribution<int>(1, highest)(rng);
      const Schedule schedule = buildSchedule(seeds);
      ASSERT_TRUE(schedule.on);
      EXPECT_EQ(schedule.counts[4997], 15);
      for (int i = 1; i <= kScheduleLength; ++i)
        ASSERT_GE(schedule.counts[i], 1) << "E(" << i << ")";
    }
  }
}

}  // namespace
}  // namespace vantor::cipher
