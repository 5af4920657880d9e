// AVX2 look-ups. VPSHUFB reads 16-byte rows and gives 0 where the index has
// bit 7 set, so a 256-byte table is read as two halves of eight rows: for
// row k the index is raised by 16 * (7 - k) with saturation, which leaves
// bit 7 clear exactly for the rows at or above the wanted one, and the
// exclusive or of the prepared rows (see deriveKernelTables) telescopes to
// the wanted row's byte. Two vectors of 32 bytes go through the tables
// together so that each row is loaded once for both.
#include <immintrin.h>

#include "cipher/Kernels.h"

#define VANTOR_AVX2 __attribute__((target("avx2")))

namespace vantor::cipher {
namespace {

VANTOR_AVX2 inline __m256i row(const std::uint8_t* rows, int k) {
  return _mm256_broadcastsi128_si256(
      _mm_load_si128(reinterpret_cast<const __m128i*>(rows + std::ptrdiff_t{16} * k)));
}

VANTOR_AVX2 inline void lookUpPair(const std::uint8_t* rows, __m256i& a, __m256i& b) {
  const __m256i sixteen = _mm256_set1_epi8(16);
  const __m256i topBit = _mm256_set1_epi8(static_cast<char>(0x80));
  __m256i lowA = a;
  __m256i lowB = b;
  __m256i highA = _mm256_xor_si256(a, topBit);
  __m256i highB = _mm256_xor_si256(b, topBit);
  __m256i low = row(rows, 7);
  __m256i high = row(rows, 15);
  __m256i resultA =
      _mm256_xor_si256(_mm256_shuffle_epi8(low, lowA), _mm256_shuffle_epi8(high, highA));
  __m256i resultB =
      _mm256_xor_si256(_mm256_shuffle_epi8(low, lowB), _mm256_shuffle_epi8(high, highB));
  for (int k = 6; k >= 0; --k) {
    lowA = _mm256_adds_epu8(lowA, sixteen);
    lowB = _mm256_adds_epu8(lowB, sixteen);
    highA = _mm256_adds_epu8(highA, sixteen);
    highB = _mm256_adds_epu8(highB, sixteen);
    low = row(rows, k);
    high = row(rows, 8 + k);
    resultA = _mm256_xor_si256(resultA, _mm256_xor_si256(_mm256_shuffle_epi8(low, lowA),
                                                         _mm256_shuffle_epi8(high, highA)));
    resultB = _mm256_xor_si256(resultB, _mm256_xor_si256(_mm256_shuffle_epi8(low, lowB),
                                                         _mm256_shuffle_epi8(high, highB)));
  }
  a = resultA;
  b = resultB;
}

VANTOR_AVX2 inline __m256i load(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

VANTOR_AVX2 inline void store(std::uint8_t* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

VANTOR_AVX2 void encryptAvx2(const KernelTables& tables, const OffsetRows& offsets,
                             const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
  std::size_t j = 0;
  for (; j + 64 <= n; j += 64) {
    __m256i a = load(in + j);
    __m256i b = load(in + j + 32);
    for (int t = 0; t < kTableCount; ++t) {
      a = _mm256_add_epi8(a, load(offsets.row[t] + j));
      b = _mm256_add_epi8(b, load(offsets.row[t] + j + 32));
      lookUpPair(tables.forwardNibbleRows[t], a, b);
    }
    store(out + j, a);
    store(out + j + 32, b);
  }
  encryptBytes(tables, offsets, in, out, j, n);
}

VANTOR_AVX2 void decryptAvx2(const KernelTables& tables, const OffsetRows& offsets,
                             const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
  std::size_t j = 0;
  for (; j + 64 <= n; j += 64) {
    __m256i a = load(in + j);
    __m256i b = load(in + j + 32);
    for (int t = kTableCount - 1; t >= 0; --t) {
      lookUpPair(tables.inverseNibbleRows[t], a, b);
      a = _mm256_sub_epi8(a, load(offsets.row[t] + j));
      b = _mm256_sub_epi8(b, load(offsets.row[t] + j + 32));
    }
    store(out + j, a);
    store(out + j + 32, b);
  }
  decryptBytes(tables, offsets, in, out, j, n);
}

}  // namespace

KernelPair avx2Kernels() { return {encryptAvx2, decryptAvx2}; }

}  // namespace vantor::cipher
