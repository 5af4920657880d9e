#include "classlib/Blowfish.h"

#include <algorithm>
#include <utility>

#include "classlib/generated/BlowfishTables.h"

namespace rt::classlib {
namespace {

constexpr int kRounds = 16;

std::uint32_t mix(const BlowfishSchedule& schedule, std::uint32_t x) {
  const auto& s = schedule.s;
  return ((s[0][x >> 24] + s[1][(x >> 16) & 0xFF]) ^ s[2][(x >> 8) & 0xFF]) + s[3][x & 0xFF];
}

}  // namespace

void setBlowfishKey(BlowfishSchedule& schedule, std::span<const unsigned char> key) {
  std::size_t next = 0;
  for (std::size_t i = 0; i < std::size(schedule.p); ++i) {
    std::uint32_t word = 0;
    for (int byte = 0; byte < 4; ++byte) {
      word = word << 8 | key[next];
      next = next + 1 == key.size() ? 0 : next + 1;
    }
    schedule.p[i] = generated::kInitialP[i] ^ word;
  }
  for (std::size_t box = 0; box < std::size(schedule.s); ++box) {
    std::copy(generated::kInitialS[box].begin(), generated::kInitialS[box].end(), schedule.s[box]);
  }

  std::uint32_t left = 0;
  std::uint32_t right = 0;
  for (std::size_t i = 0; i < std::size(schedule.p); i += 2) {
    blowfishEncipher(schedule, left, right);
    schedule.p[i] = left;
    schedule.p[i + 1] = right;
  }
  for (auto& box : schedule.s) {
    for (std::size_t i = 0; i < std::size(box); i += 2) {
      blowfishEncipher(schedule, left, right);
      box[i] = left;
      box[i + 1] = right;
    }
  }
}

void blowfishEncipher(const BlowfishSchedule& schedule, std::uint32_t& left, std::uint32_t& right) {
  std::uint32_t l = left;
  std::uint32_t r = right;
  for (int round = 0; round < kRounds; ++round) {
    l ^= schedule.p[round];
    r ^= mix(schedule, l);
    std::swap(l, r);
  }
  std::swap(l, r);
  right = r ^ schedule.p[kRounds];
  left = l ^ schedule.p[kRounds + 1];
}

void blowfishDecipher(const BlowfishSchedule& schedule, std::uint32_t& left, std::uint32_t& right) {
  std::uint32_t l = left;
  std::uint32_t r = right;
  for (int round = kRounds + 1; round > 1; --round) {
    l ^= schedule.p[round];
    r ^= mix(schedule, l);
    std::swap(l, r);
  }
  std::swap(l, r);
  right = r ^ schedule.p[1];
  left = l ^ schedule.p[0];
}

}  // namespace rt::classlib
