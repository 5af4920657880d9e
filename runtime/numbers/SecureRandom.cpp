// Random values nobody can guess: OpenSSL's random bit generators (AES-256 in
// counter mode), which seed and reseed themselves from the operating system's
// cryptographic source (getrandom, else /dev/urandom). Several times faster
// than reading getrandom directly, which the filler bytes of high expansion
// need: they take one value for almost every byte written.
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "numbers/NumberApi.h"

namespace rt::numbers {
namespace {

// Eight values of 20 bits fill 20 bytes exactly.
constexpr std::size_t kGroupValues = 8;
constexpr std::size_t kGroupBytes = 20;
// Random bytes asked for at once: below the generators' largest request.
constexpr std::size_t kChunkGroups = 512;
constexpr std::uint64_t kValueMask = 0xFFFFF;

bool randomBytes(std::uint8_t* bytes, std::size_t count, RandomUse use) {
  const int n = static_cast<int>(count);
  return (use == RandomUse::Secret ? RAND_priv_bytes(bytes, n) : RAND_bytes(bytes, n)) == 1;
}

// Every bit of the 20 bytes is used once, so each value is uniform whatever
// order the bytes are read in.
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

}  // namespace

bool drawSecureRandomBits(std::span<std::uint32_t> out, RandomUse use) {
  std::array<std::uint8_t, kChunkGroups * kGroupBytes> bytes;
  while (out.size() >= kGroupValues) {
    const std::size_t groups = std::min(out.size() / kGroupValues, kChunkGroups);
    if (!randomBytes(bytes.data(), groups * kGroupBytes, use)) return false;
    for (std::size_t g = 0; g < groups; ++g) {
      unpackGroup(bytes.data() + g * kGroupBytes, out.data() + g * kGroupValues);
    }
    out = out.subspan(groups * kGroupValues);
  }
  if (out.empty()) return true;
  std::array<std::uint32_t, kGroupValues> last;
  if (!randomBytes(bytes.data(), kGroupBytes, use)) return false;
  unpackGroup(bytes.data(), last.data());
  std::copy_n(last.begin(), out.size(), out.begin());
  return true;
}

}  // namespace rt::numbers
