// AVX-512 VBMI look-ups: VPERMI2B reads a 128-byte half of a table by the
// low seven bits of each index, and bit 7 picks the half. Four vectors go
// through the tables side by side, so that the latency of one vector's chain
// of look-ups hides behind the others and each table is loaded once for all
// four; the last partial vectors are read and written under masks.
#include <immintrin.h>

#include "cipher/Kernels.h"

#define VANTOR_AVX512VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

namespace vantor::cipher {
namespace {

constexpr int kVectors = 8;
constexpr std::size_t kGroupBytes = std::size_t{64} * kVectors;

struct Table {
  __m512i rows[4];
};

VANTOR_AVX512VBMI inline Table loadTable(const std::uint8_t* bytes) {
  return {{_mm512_load_si512(bytes), _mm512_load_si512(bytes + 64), _mm512_load_si512(bytes + 128),
           _mm512_load_si512(bytes + 192)}};
}

VANTOR_AVX512VBMI inline __m512i lookUp(const Table& table, __m512i index) {
  const __m512i low = _mm512_permutex2var_epi8(table.rows[0], index, table.rows[1]);
  const __m512i high = _mm512_permutex2var_epi8(table.rows[2], index, table.rows[3]);
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
}

__mmask64 firstLanes(std::size_t count) {
  return count >= 64 ? ~__mmask64{0} : (__mmask64{1} << count) - 1;
}

// Bytes j to j + 64 * kVectors - 1, of which the first count are real.
struct Group {
  std::size_t j;
  __mmask64 lanes[kVectors];
  __m512i x[kVectors];
};

VANTOR_AVX512VBMI inline Group loadGroup(const std::uint8_t* in, std::size_t j, std::size_t count) {
  Group group;
  group.j = j;
  for (int v = 0; v < kVectors; ++v) {
    const std::size_t start = 64 * static_cast<std::size_t>(v);
    group.lanes[v] = start < count ? firstLanes(count - start) : 0;
    group.x[v] = _mm512_maskz_loadu_epi8(group.lanes[v], in + j + start);
  }
  return group;
}

VANTOR_AVX512VBMI inline void storeGroup(const Group& group, std::uint8_t* out) {
  for (int v = 0; v < kVectors; ++v)
    _mm512_mask_storeu_epi8(out + group.j + std::ptrdiff_t{64} * v, group.lanes[v], group.x[v]);
}

VANTOR_AVX512VBMI inline __m512i offsetsOf(const Group& group, const std::uint8_t* row, int v) {
  return _mm512_maskz_loadu_epi8(group.lanes[v], row + group.j + std::ptrdiff_t{64} * v);
}

VANTOR_AVX512VBMI inline void encryptGroup(const KernelTables& tables, const OffsetRows& offsets,
                                           Group& group) {
  for (int t = 0; t < kTableCount; ++t) {
    const Table table = loadTable(tables.forward[t]);
    for (int v = 0; v < kVectors; ++v) {
      group.x[v] = lookUp(table, _mm512_add_epi8(group.x[v], offsetsOf(group, offsets.row[t], v)));
    }
  }
}

VANTOR_AVX512VBMI inline void decryptGroup(const KernelTables& tables, const OffsetRows& offsets,
                                           Group& group) {
  for (int t = kTableCount - 1; t >= 0; --t) {
    const Table table = loadTable(tables.inverse[t]);
    for (int v = 0; v < kVectors; ++v) {
      group.x[v] = _mm512_sub_epi8(lookUp(table, group.x[v]), offsetsOf(group, offsets.row[t], v));
    }
  }
}

VANTOR_AVX512VBMI void encryptAvx512Vbmi(const KernelTables& tables, const OffsetRows& offsets,
                                         const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
  for (std::size_t j = 0; j < n; j += kGroupBytes) {
    Group group = loadGroup(in, j, n - j);
    encryptGroup(tables, offsets, group);
    storeGroup(group, out);
  }
}

VANTOR_AVX512VBMI void decryptAvx512Vbmi(const KernelTables& tables, const OffsetRows& offsets,
                                         const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
  for (std::size_t j = 0; j < n; j += kGroupBytes) {
    Group group = loadGroup(in, j, n - j);
    decryptGroup(tables, offsets, group);
    storeGroup(group, out);
  }
}

}  // namespace

KernelPair avx512VbmiKernels() { return {encryptAvx512Vbmi, decryptAvx512Vbmi}; }

}  // namespace vantor::cipher
