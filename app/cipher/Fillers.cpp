#include "cipher/Fillers.h"

#include <algorithm>
#include <cstring>

namespace vantor::cipher {
namespace {

// Draws small enough to stay in the processor's nearest caches.
constexpr std::size_t kDrawBatch = std::size_t{4} * 1024;

// A filler is Trunc(rnd * 255 + 1) - 1 for rnd = value / 2^20, which is exact
// in integers.
void toFillers(const std::uint32_t* values, std::uint8_t* out, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>((values[i] * 255u) >> 20);
}

}  // namespace

Fillers::Fillers(const Schedule& schedule, RandomSource& random)
    : counts_(schedule), random_(random), draws_(kDrawBatch) {}

std::size_t Fillers::cipherBytesFilling(std::size_t outputBytes) const {
  return static_cast<std::size_t>(counts_.cipherBytesFilling(outputBytes));
}

void Fillers::draw(std::size_t cipherBytes, FilledStretch& stretch) {
  const std::size_t fillers = static_cast<std::size_t>(counts_.fillersAhead(cipherBytes));
  stretch.cipherBytes = cipherBytes;
  stretch.counts = counts_;
  stretch.output.resize(cipherBytes + fillers);
  for (std::size_t done = 0; done < fillers;) {
    const std::size_t n = std::min(kDrawBatch, fillers - done);
    random_.draw({draws_.data(), n});
    toFillers(draws_.data(), stretch.output.data() + cipherBytes + done, n);
    done += n;
  }
  counts_.skip(cipherBytes);
}

// Moving forward, each byte lands at or before the place its filler is read
// from, so the fillers are never overwritten before they are moved.
void Fillers::layOut(const std::uint8_t* cipher, FilledStretch& stretch) {
  std::uint8_t* out = stretch.output.data();
  FillerCounts counts = stretch.counts;
  std::size_t to = 0;
  std::size_t from = stretch.cipherBytes;
  for (std::size_t b = 0; b < stretch.cipherBytes; ++b) {
    out[to++] = cipher[b];
    const std::uint32_t count = counts.next();
    std::memmove(out + to, out + from, count);
    to += count;
    from += count;
  }
}

}  // namespace vantor::cipher
