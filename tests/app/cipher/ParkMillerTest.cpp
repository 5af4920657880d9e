#include <gtest/gtest.h>

#include <vector>

#include "cipher/ParkMiller.h"
#include "numbers/NumberApi.h"

namespace vantor::cipher {
namespace {

// The bulk draws against rnd stepping the runtime's own state, from states
// that include the edges of the range, for counts around the lane width.
TEST(ParkMiller, BulkDrawsMatchTheRuntimeGenerator) {
  const std::int32_t saved = rt::numbers::randomState();
  for (std::int32_t start : {1, 2, 12345, 16807, 0x7FFFFFFE, 1043618065}) {
    for (std::size_t count : {0, 1, 7, 8, 9, 31, 32, 45, 1000}) {
      rt::numbers::setRandomState(start);
      std::vector<std::uint32_t> expected(count);
      for (std::uint32_t& value : expected) value = static_cast<std::uint32_t>(rnd() * 1048576.0);
      std::vector<std::uint32_t> drawn(count);
      EXPECT_EQ(drawParkMiller(start, drawn), rt::numbers::randomState()) << start << ", " << count;
      EXPECT_EQ(drawn, expected) << start << ", " << count;
    }
  }
  rt::numbers::setRandomState(saved);
}

}  // namespace
}  // namespace vantor::cipher
