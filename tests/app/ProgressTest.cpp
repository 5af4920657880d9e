// The text of the progress line: amounts, rate and time left.
#include <gtest/gtest.h>

#include "Progress.h"

namespace vantor::app {
namespace {

constexpr std::int64_t kMiB = 1 << 20;

TEST(Progress, TextShowsDoneOfTotalThenRateAndTimeLeft) {
  struct Case {
    const char* label;
    ProgressUnit unit;
    std::int64_t done;
    std::int64_t total;
    std::int32_t ticks;  // 60 a second
    const char* expected;
  };
  const Case cases[] = {
      {"Key component 1: ", ProgressUnit::Entries, 0, 1000, 0,
       "Key component 1: 0 of 1000 entries"},
      // Before a tenth of a second, or with nothing done, no rate is known.
      {"Key component 1: ", ProgressUnit::Entries, 3, 1000, 5,
       "Key component 1: 3 of 1000 entries"},
      {"Key component 1: ", ProgressUnit::Entries, 0, 1000, 600,
       "Key component 1: 0 of 1000 entries"},
      {"Key component 1: ", ProgressUnit::Entries, 120, 1000, 120,
       "Key component 1: 120 of 1000 entries, 60.0 entries/s, 0:15 left"},
      {"Key component 1: ", ProgressUnit::Entries, 2500, 3000, 60,
       "Key component 1: 2500 of 3000 entries, 2500 entries/s, 0:01 left"},
      {"Encrypting ", ProgressUnit::Bytes, 64 * kMiB, 256 * kMiB, 240,
       "Encrypting 64.0 of 256.0 MiB, 16.0 MiB/s, 0:12 left"},
      {"Decrypting ", ProgressUnit::Bytes, kMiB / 2, 17 * kMiB, 60,
       "Decrypting 0.5 of 17.0 MiB, 0.5 MiB/s, 0:33 left"},
      {"Encrypting ", ProgressUnit::Bytes, 1, 10000, 60,
       "Encrypting 0.0 of 0.0 MiB, 0.0 MiB/s, 2:46:39 left"},
      {"Key component 1: ", ProgressUnit::Entries, 1, 7201, 60,
       "Key component 1: 1 of 7201 entries, 1.0 entries/s, 2:00:00 left"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(progressText(c.label, c.unit, c.done, c.total, c.ticks), c.expected)
        << c.done << " of " << c.total << " after " << c.ticks << " ticks";
  }
}

}  // namespace
}  // namespace vantor::app
