#include "RegularKey.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace vantor::bench {

cipher::Key regularKey() {
  std::mt19937 rng(42);
  cipher::Key key;
  for (int t = 0; t < cipher::kTableCount; ++t) {
    std::vector<char> bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    std::shuffle(bytes.begin(), bytes.end(), rng);
    key.tables[t].assign(bytes.begin(), bytes.end());
    key.direction[t] = static_cast<std::int32_t>(rng() % 2);
    key.periodA[t] = static_cast<std::int32_t>(1 + rng() % 11);
    key.periodB[t] = static_cast<std::int32_t>(1 + rng() % 11);
    key.step[t] = static_cast<std::int32_t>(1 + rng() % 11);
  }
  return key;
}

}  // namespace vantor::bench
