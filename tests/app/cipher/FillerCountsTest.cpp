// The running sums against counts taken one by one, from positions on both
// sides of the schedule's end, where the counts start again at E(1).
#include <gtest/gtest.h>

#include <random>

#include "cipher/Cipher.h"
#include "cipher/FillerCounts.h"

namespace vantor::cipher {
namespace {

TEST(FillerCounts, LookingAheadAgreesWithTakingOneByOne) {
  std::mt19937 rng(11);
  std::array<std::int32_t, kSeedCount> seeds{};
  for (std::int32_t& seed : seeds) seed = static_cast<std::int32_t>(1 + rng() % 100);
  const Schedule schedule = buildSchedule(seeds);
  const std::uint64_t kStarts[] = {0, 1, 7, 19999, 20000, 20001, 39998};
  const std::uint64_t kAhead[] = {0, 1, 2, 19999, 20000, 20001, 45000};
  for (std::uint64_t start : kStarts) {
    FillerCounts counts(schedule);
    counts.skip(start);
    for (std::uint64_t n : kAhead) {
      FillerCounts walked = counts;
      std::uint64_t fillers = 0;
      for (std::uint64_t i = 0; i < n; ++i) fillers += walked.next();
      ASSERT_EQ(counts.fillersAhead(n), fillers) << "start " << start << ", " << n << " ahead";
      FillerCounts skipped = counts;
      skipped.skip(n);
      ASSERT_EQ(skipped.next(), walked.next()) << "start " << start << ", skip " << n;
    }
    for (std::uint64_t output : {1u, 2u, 97u, 1000u, 1u << 20}) {
      const std::uint64_t n = counts.cipherBytesFilling(output);
      ASSERT_GE(n + counts.fillersAhead(n), output) << "start " << start << ", output " << output;
      if (n > 1) {
        ASSERT_LT(n - 1 + counts.fillersAhead(n - 1), output)
            << "start " << start << ", output " << output << ": not the fewest";
      }
    }
  }
}

}  // namespace
}  // namespace vantor::cipher
