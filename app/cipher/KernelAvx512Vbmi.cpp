// AVX-512 VBMI look-ups: VPERMI2B reads a 128-byte half of a table by the
// low seven bits of each index, and bit 7 picks the half. The last partial
// vector is read and written under a mask.
#include <immintrin.h>

#include "cipher/Kernels.h"

#define VANTOR_AVX512VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

namespace vantor::cipher {
namespace {

VANTOR_AVX512VBMI inline __m512i lookUp(const std::uint8_t* table, __m512i index) {
  const __m512i low = _mm512_permutex2var_epi8(_mm512_load_si512(table), index, _mm512_load_si512(table + 64));
  const __m512i high =
      _mm512_permutex2var_epi8(_mm512_load_si512(table + 128), index, _mm512_load_si512(table + 192));
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
}

VANTOR_AVX512VBMI inline __m512i encryptVector(const KernelTables& tables, const OffsetRows& offsets,
                                               std::size_t j, __m512i x, __mmask64 lanes) {
  for (int t = 0; t < kTableCount; ++t) {
    x = lookUp(tables.forward[t], _mm512_add_epi8(x, _mm512_maskz_loadu_epi8(lanes, offsets.row[t] + j)));
  }
  return x;
}

VANTOR_AVX512VBMI inline __m512i decryptVector(const KernelTables& tables, const OffsetRows& offsets,
                                               std::size_t j, __m512i x, __mmask64 lanes) {
  for (int t = kTableCount - 1; t >= 0; --t) {
    x = _mm512_sub_epi8(lookUp(tables.inverse[t], x), _mm512_maskz_loadu_epi8(lanes, offsets.row[t] + j));
  }
  return x;
}

constexpr __mmask64 kAllLanes = ~__mmask64{0};

__mmask64 firstLanes(std::size_t count) { return count >= 64 ? kAllLanes : (__mmask64{1} << count) - 1; }

VANTOR_AVX512VBMI void encryptAvx512Vbmi(const KernelTables& tables, const OffsetRows& offsets,
                                         const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
  for (std::size_t j = 0; j < n; j += 64) {
    const __mmask64 lanes = firstLanes(n - j);
    const __m512i x = _mm512_maskz_loadu_epi8(lanes, in + j);
    _mm512_mask_storeu_epi8(out + j, lanes, encryptVector(tables, offsets, j, x, lanes));
  }
}

VANTOR_AVX512VBMI void decryptAvx512Vbmi(const KernelTables& tables, const OffsetRows& offsets,
                                         const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
  for (std::size_t j = 0; j < n; j += 64) {
    const __mmask64 lanes = firstLanes(n - j);
    const __m512i x = _mm512_maskz_loadu_epi8(lanes, in + j);
    _mm512_mask_storeu_epi8(out + j, lanes, decryptVector(tables, offsets, j, x, lanes));
  }
}

}  // namespace

KernelPair avx512VbmiKernels() { return {encryptAvx512Vbmi, decryptAvx512Vbmi}; }

}  // namespace vantor::cipher
