// Decryption: the cipher bytes are picked out from between the filler bytes
// and taken back through the tables into the output buffer.
#include <algorithm>
#include <vector>

#include "cipher/Cipher.h"
#include "cipher/CipherCore.h"
#include "cipher/FillerCounts.h"
#include "cipher/OutputBuffer.h"

namespace vantor::cipher {
namespace {

constexpr std::size_t kOutputBytes = 256 * 1024;
constexpr std::size_t kCipherBlock = 64 * 1024;

}  // namespace

class Decryptor::Impl {
 public:
  Impl(const Key& key, const Schedule& schedule, ByteSink& sink)
      : core_(key, Direction::Decrypt), fillers_(schedule), output_(sink, kOutputBytes) {
    if (fillers_.on()) cipher_.resize(kCipherBlock);
  }

  bool push(std::span<const std::uint8_t> ciphertext) {
    if (!fillers_.on()) return write(ciphertext.data(), ciphertext.size());
    std::size_t gathered = 0;
    for (std::size_t i = 0; i < ciphertext.size();) {
      if (skip_ > 0) {
        const std::size_t skipped = std::min<std::size_t>(skip_, ciphertext.size() - i);
        i += skipped;
        skip_ -= static_cast<std::uint32_t>(skipped);
        continue;
      }
      cipher_[gathered++] = ciphertext[i++];
      skip_ = fillers_.next();
      if (gathered == cipher_.size()) {
        if (!write(cipher_.data(), gathered)) return false;
        gathered = 0;
      }
    }
    return write(cipher_.data(), gathered);
  }

  bool finish() { return output_.flush(); }

 private:
  bool write(const std::uint8_t* in, std::size_t n) {
    while (n > 0) {
      if (!output_.makeRoom()) return false;
      const std::size_t block = std::min(n, output_.space());
      core_.transform(in, output_.tail(), block);
      output_.commit(block);
      in += block;
      n -= block;
    }
    return !output_.failed();
  }

  CipherCore core_;
  FillerCounts fillers_;
  OutputBuffer output_;
  std::vector<std::uint8_t> cipher_;
  std::uint32_t skip_ = 0;  // filler bytes still to pass over
};

Decryptor::Decryptor(const Key& key, const Schedule& schedule, ByteSink& sink)
    : impl_(std::make_unique<Impl>(key, schedule, sink)) {}

Decryptor::~Decryptor() = default;

bool Decryptor::push(std::span<const std::uint8_t> ciphertext) { return impl_->push(ciphertext); }

bool Decryptor::finish() { return impl_->finish(); }

}  // namespace vantor::cipher
