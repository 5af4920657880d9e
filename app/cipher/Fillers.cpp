#include "cipher/Fillers.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

namespace vantor::cipher {
namespace {

// Few calls to the source, each small enough for the processor's caches.
constexpr std::size_t kDrawBatch = std::size_t{8} * 1024;

// A filler is Trunc(rnd * 255 + 1) - 1 for rnd = value / 2^20, which is exact
// in integers.
std::uint8_t fillerOf(std::uint32_t value) {
  return static_cast<std::uint8_t>((value * 255u) >> 20);
}

void toFillersPlain(const std::uint32_t* values, std::uint8_t* out, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out[i] = fillerOf(values[i]);
}

#define VANTOR_AVX2 __attribute__((target("avx2")))

// Eight values times 255 (x * 256 - x), shifted down by 20.
VANTOR_AVX2 inline __m256i eightFillers(const std::uint32_t* values) {
  const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values));
  return _mm256_srli_epi32(_mm256_sub_epi32(_mm256_slli_epi32(x, 8), x), 20);
}

// The fillers are below 256, so packing cannot saturate; the packs work
// within 128-bit halves, which the final permutation puts back in order.
VANTOR_AVX2 void toFillersAvx2(const std::uint32_t* values, std::uint8_t* out, std::size_t n) {
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  std::size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i low = _mm256_packus_epi32(eightFillers(values + i), eightFillers(values + i + 8));
    const __m256i high =
        _mm256_packus_epi32(eightFillers(values + i + 16), eightFillers(values + i + 24));
    const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(low, high), order);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), bytes);
  }
  toFillersPlain(values + i, out + i, n - i);
}

void toFillers(const std::uint32_t* values, std::uint8_t* out, std::size_t n) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  (avx2 ? toFillersAvx2 : toFillersPlain)(values, out, n);
}

constexpr std::size_t kShortMove = 64;

// Moves count bytes from `from` down to `to`. Short runs move in 16-byte
// pieces, which may carry a few bytes past the run: they land where later
// bytes are laid anyway, and, the run moving at least 16 bytes down, never
// on fillers still to be moved.
void moveDown(std::uint8_t* out, std::size_t to, std::size_t from, std::size_t count,
              std::size_t size) {
  if (count <= kShortMove && from - to >= 16 && from + kShortMove <= size) {
    for (std::size_t k = 0; k < count; k += 16) std::memcpy(out + to + k, out + from + k, 16);
  } else {
    std::memmove(out + to, out + from, count);
  }
}

}  // namespace

Fillers::Fillers(const Schedule& schedule, RandomSource& random)
    : counts_(schedule), random_(random), draws_(kDrawBatch) {}

std::size_t Fillers::cipherBytesFilling(std::size_t outputBytes) const {
  return static_cast<std::size_t>(counts_.cipherBytesFilling(outputBytes));
}

void Fillers::plan(std::size_t cipherBytes, FilledStretch& stretch) {
  const std::size_t fillers = static_cast<std::size_t>(counts_.fillersAhead(cipherBytes));
  stretch.cipherBytes = cipherBytes;
  stretch.counts = counts_;
  stretch.output.resize(cipherBytes + fillers);
  counts_.skip(cipherBytes);
}

void Fillers::draw(FilledStretch& stretch) {
  const std::size_t fillers = stretch.output.size() - stretch.cipherBytes;
  std::uint8_t* out = stretch.output.data() + stretch.cipherBytes;
  for (std::size_t done = 0; done < fillers;) {
    const std::size_t n = std::min(kDrawBatch, fillers - done);
    random_.draw({draws_.data(), n});
    toFillers(draws_.data(), out + done, n);
    done += n;
  }
}

// Moving forward, each byte lands at or before the place its filler is read
// from, so the fillers are never overwritten before they are moved.
void Fillers::layOut(const std::uint8_t* cipher, FilledStretch& stretch) {
  std::uint8_t* out = stretch.output.data();
  const std::size_t size = stretch.output.size();
  FillerCounts counts = stretch.counts;
  std::size_t to = 0;
  std::size_t from = stretch.cipherBytes;
  for (std::size_t b = 0; b < stretch.cipherBytes; ++b) {
    out[to++] = cipher[b];
    const std::uint32_t count = counts.next();
    moveDown(out, to, from, count, size);
    to += count;
    from += count;
  }
}

}  // namespace vantor::cipher
