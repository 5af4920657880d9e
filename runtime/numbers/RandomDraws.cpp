// Bulk draws of the minimal standard generator (state = 16807 * state mod
// 2^31 - 1): from the same state they give the same values, the low 20 bits
// of each new state, as one rnd() after another, without the serial chain of
// one step's arithmetic after another.
#include "numbers/RandomDraws.h"

#include <immintrin.h>

#include <array>
#include <cstddef>

#include "numbers/NumberApi.h"

namespace rt::numbers {
namespace {

constexpr std::uint64_t kModulus = 0x7FFFFFFF;
constexpr std::uint64_t kMultiplier = 16807;
constexpr std::size_t kLanes = 8;

// x * y mod 2^31 - 1 for x, y below 2^31: as 2^31 = 1 modulo 2^31 - 1, the
// bits above 31 fold back onto the low ones.
constexpr std::uint64_t timesModulo(std::uint64_t x, std::uint64_t y) {
  std::uint64_t r = x * y;
  r = (r & kModulus) + (r >> 31);
  r = (r & kModulus) + (r >> 31);
  return r >= kModulus ? r - kModulus : r;
}

// The multipliers a^1 to a^kWideLanes, which take one state to each of the
// next states at once.
constexpr std::size_t kWideLanes = 32;
constexpr std::array<std::uint64_t, kWideLanes> kPowers = [] {
  std::array<std::uint64_t, kWideLanes> powers{};
  std::uint64_t power = 1;
  for (std::uint64_t& p : powers) p = power = timesModulo(power, kMultiplier);
  return powers;
}();

constexpr std::uint32_t kValueMask = 0xFFFFF;

#define VANTOR_AVX2 __attribute__((target("avx2")))

// timesModulo on four lanes; x and y below 2^31.
VANTOR_AVX2 inline __m256i timesModulo4(__m256i x, __m256i y) {
  const __m256i modulus = _mm256_set1_epi64x(kModulus);
  __m256i r = _mm256_mul_epu32(x, y);
  r = _mm256_add_epi64(_mm256_and_si256(r, modulus), _mm256_srli_epi64(r, 31));
  r = _mm256_add_epi64(_mm256_and_si256(r, modulus), _mm256_srli_epi64(r, 31));
  const __m256i atLeastModulus = _mm256_cmpgt_epi64(r, _mm256_set1_epi64x(kModulus - 1));
  return _mm256_sub_epi64(r, _mm256_and_si256(atLeastModulus, modulus));
}

// The low 20 bits of the low halves of two vectors of four 64-bit lanes.
VANTOR_AVX2 inline void storeValues(__m256i low, __m256i high, std::uint32_t* values) {
  const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
  const __m256i joined =
      _mm256_permute2x128_si256(_mm256_permutevar8x32_epi32(low, lowHalves),
                                _mm256_permutevar8x32_epi32(high, lowHalves), 0x20);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(values),
                      _mm256_and_si256(joined, _mm256_set1_epi32(static_cast<int>(kValueMask))));
}

// kWideLanes states at a time, in eight vectors so that the latency of one
// vector's multiplication hides behind the others: the lanes hold the states
// a^1 to a^kWideLanes ahead and all move a^kWideLanes on per round.
VANTOR_AVX2 std::size_t drawWideAvx2(std::uint64_t& current, std::span<std::uint32_t> values) {
  constexpr std::size_t kVectors = kWideLanes / 4;
  const std::size_t rounds = values.size() / kWideLanes;
  if (rounds == 0) return 0;
  std::array<std::uint64_t, kWideLanes> lanes;
  for (std::size_t l = 0; l < kWideLanes; ++l) lanes[l] = timesModulo(current, kPowers[l]);
  __m256i states[kVectors];
  for (std::size_t v = 0; v < kVectors; ++v) {
    states[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes.data() + 4 * v));
  }
  const __m256i step = _mm256_set1_epi64x(static_cast<long long>(kPowers[kWideLanes - 1]));
  for (std::size_t r = 0;; ++r) {
    for (std::size_t v = 0; v < kVectors; v += 2) {
      storeValues(states[v], states[v + 1], values.data() + r * kWideLanes + 4 * v);
    }
    if (r + 1 == rounds) break;
    for (__m256i& state : states) state = timesModulo4(state, step);
  }
  // Through memory: a 64-bit lane cannot be extracted to a register on 32-bit x86.
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes.data() + kWideLanes - 4),
                      states[kVectors - 1]);
  current = lanes[kWideLanes - 1];
  return rounds * kWideLanes;
}

}  // namespace

std::int32_t drawFrom(std::int32_t state, std::span<std::uint32_t> values) {
  auto current = static_cast<std::uint64_t>(state);
  std::size_t i = __builtin_cpu_supports("avx2") ? drawWideAvx2(current, values) : 0;
  // kLanes independent chains, each a^kLanes apart.
  for (; i + kLanes <= values.size(); i += kLanes) {
    std::uint64_t lanes[kLanes];
    for (std::size_t l = 0; l < kLanes; ++l) lanes[l] = timesModulo(current, kPowers[l]);
    for (std::size_t l = 0; l < kLanes; ++l)
      values[i + l] = static_cast<std::uint32_t>(lanes[l]) & kValueMask;
    current = lanes[kLanes - 1];
  }
  for (; i < values.size(); ++i) {
    current = timesModulo(current, kMultiplier);
    values[i] = static_cast<std::uint32_t>(current) & kValueMask;
  }
  return static_cast<std::int32_t>(current);
}

void drawRandomBits(std::span<std::uint32_t> out) {
  if (out.empty()) return;
  setRandomState(drawFrom(seededRandomState(), out));
}

void discardRandom(std::uint64_t count) {
  if (count == 0) return;
  std::uint64_t leap = 1;
  for (std::uint64_t base = kMultiplier, exponent = count; exponent != 0; exponent >>= 1) {
    if (exponent & 1) leap = timesModulo(leap, base);
    base = timesModulo(base, base);
  }
  setRandomState(static_cast<std::int32_t>(
      timesModulo(static_cast<std::uint64_t>(seededRandomState()), leap)));
}

}  // namespace rt::numbers
