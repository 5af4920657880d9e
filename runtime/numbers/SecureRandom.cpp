// Random values nobody can guess: OpenSSL's random bit generators (AES in
// counter mode), which seed and reseed themselves from the operating system's
// cryptographic source (getrandom, else /dev/urandom). Many times faster than
// reading getrandom directly, which the filler bytes of high expansion need:
// they take one value for almost every byte written.
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "numbers/NumberApi.h"
#include "numbers/TwentyBitValues.h"

namespace rt::numbers {
namespace {

// Random bytes asked for at once: large requests spread the generator's
// fixed cost per request, and stay below its largest request.
constexpr std::size_t kChunkGroups = 2048;
constexpr unsigned kPublicStrength = 128;

// Public values get a generator of their own, seeded from OpenSSL's primary
// one: AES-128 rather than the AES-256 of the shared generators, a quarter
// faster, and 128 bits of strength are plenty for values that every copy of
// an encrypted file shows. Made on first use; null while it cannot be seeded.
EVP_RAND_CTX* publicGenerator() {
  static std::mutex making;
  static EVP_RAND_CTX* generator = nullptr;
  const std::lock_guard lock(making);
  if (generator != nullptr) return generator;
  EVP_RAND* algorithm = EVP_RAND_fetch(nullptr, "CTR-DRBG", nullptr);
  EVP_RAND_CTX* made =
      algorithm == nullptr ? nullptr : EVP_RAND_CTX_new(algorithm, RAND_get0_primary(nullptr));
  EVP_RAND_free(algorithm);
  char cipher[] = "AES-128-CTR";
  const OSSL_PARAM parameters[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_DRBG_PARAM_CIPHER, cipher, 0),
      OSSL_PARAM_construct_end()};
  if (made == nullptr || EVP_RAND_enable_locking(made) != 1 ||
      EVP_RAND_instantiate(made, kPublicStrength, 0, nullptr, 0, parameters) != 1) {
    EVP_RAND_CTX_free(made);
    return nullptr;
  }
  generator = made;
  return generator;
}

bool randomBytes(std::span<std::uint8_t> bytes, RandomUse use) {
  if (use == RandomUse::Secret)
    return RAND_priv_bytes(bytes.data(), static_cast<int>(bytes.size())) == 1;
  EVP_RAND_CTX* generator = publicGenerator();
  return generator != nullptr && EVP_RAND_generate(generator, bytes.data(), bytes.size(),
                                                   kPublicStrength, 0, nullptr, 0) == 1;
}

}  // namespace

bool drawSecureRandomBits(std::span<std::uint32_t> out, RandomUse use) {
  thread_local std::vector<std::uint8_t> bytes(kChunkGroups * kGroupBytes);
  while (out.size() >= kGroupValues) {
    const std::size_t groups = std::min(out.size() / kGroupValues, kChunkGroups);
    const auto chunk = std::span(bytes).first(groups * kGroupBytes);
    if (!randomBytes(chunk, use)) return false;
    unpackTwentyBitValues(chunk, out.first(groups * kGroupValues));
    out = out.subspan(groups * kGroupValues);
  }
  if (out.empty()) return true;
  std::array<std::uint32_t, kGroupValues> last;
  const auto chunk = std::span(bytes).first(kGroupBytes);
  if (!randomBytes(chunk, use)) return false;
  unpackTwentyBitValues(chunk, last);
  std::copy_n(last.begin(), out.size(), out.begin());
  return true;
}

}  // namespace rt::numbers
