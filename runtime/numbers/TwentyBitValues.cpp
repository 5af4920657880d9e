#include "numbers/TwentyBitValues.h"

#include <immintrin.h>

#include <cstring>

namespace rt::numbers {
namespace {

constexpr std::uint64_t kValueMask = 0xFFFFF;

void unpackGroup(const std::uint8_t* in, std::uint32_t* out) {
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  std::uint32_t c = 0;
  std::memcpy(&a, in, 8);
  std::memcpy(&b, in + 8, 8);
  std::memcpy(&c, in + 16, 4);
  out[0] = static_cast<std::uint32_t>(a & kValueMask);
  out[1] = static_cast<std::uint32_t>((a >> 20) & kValueMask);
  out[2] = static_cast<std::uint32_t>((a >> 40) & kValueMask);
  out[3] = static_cast<std::uint32_t>(((a >> 60) | (b << 4)) & kValueMask);
  out[4] = static_cast<std::uint32_t>((b >> 16) & kValueMask);
  out[5] = static_cast<std::uint32_t>((b >> 36) & kValueMask);
  out[6] = static_cast<std::uint32_t>(((b >> 56) | (std::uint64_t{c} << 8)) & kValueMask);
  out[7] = static_cast<std::uint32_t>((c >> 12) & kValueMask);
}

// Each 128-bit lane takes the 10 bytes of four values: every value's three
// bytes into its 32-bit slot, then the odd values shifted down by 4 bits.
// A group's loads reach 6 bytes past it, so the last group is left to
// unpackGroup. Returns the groups done.
__attribute__((target("avx2"))) std::size_t unpackAvx2(const std::uint8_t* in, std::uint32_t* out,
                                                       std::size_t groups) {
  const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 2, 3, 4, -1, 5, 6, 7, -1, 7, 8, 9, -1, 0, 1,
                                          2, -1, 2, 3, 4, -1, 5, 6, 7, -1, 7, 8, 9, -1);
  const __m256i shifts = _mm256_setr_epi32(0, 4, 0, 4, 0, 4, 0, 4);
  const __m256i mask = _mm256_set1_epi32(static_cast<int>(kValueMask));
  std::size_t g = 0;
  for (; g + 1 < groups; ++g, in += kGroupBytes, out += kGroupValues) {
    const __m256i bytes = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(in + 10),
                                              reinterpret_cast<const __m128i*>(in));
    const __m256i values = _mm256_srlv_epi32(_mm256_shuffle_epi8(bytes, spread), shifts);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_and_si256(values, mask));
  }
  return g;
}

}  // namespace

void unpackTwentyBitValues(std::span<const std::uint8_t> bytes, std::span<std::uint32_t> values) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  const std::size_t groups = values.size() / kGroupValues;
  const std::size_t done = avx2 ? unpackAvx2(bytes.data(), values.data(), groups) : 0;
  unpackTwentyBitValuesPortably(bytes.subspan(done * kGroupBytes),
                                values.subspan(done * kGroupValues));
}

void unpackTwentyBitValuesPortably(std::span<const std::uint8_t> bytes,
                                   std::span<std::uint32_t> values) {
  const std::size_t groups = values.size() / kGroupValues;
  for (std::size_t g = 0; g < groups; ++g)
    unpackGroup(bytes.data() + g * kGroupBytes, values.data() + g * kGroupValues);
}

}  // namespace rt::numbers
