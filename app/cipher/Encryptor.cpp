// Encryption: the cipher bytes, each followed by its filler bytes drawn from
// the random source, into the output buffer.
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
constexpr std::size_t kDrawBatch = 16 * 1024;

// A filler is Trunc(rnd * 255 + 1) - 1 for rnd = value / 2^20, which is exact
// in integers.
void writeFillers(const std::uint32_t* values, std::uint8_t* out, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>((values[i] * 255u) >> 20);
}

}  // namespace

class Encryptor::Impl {
 public:
  Impl(const Key& key, const Schedule& schedule, RandomSource& random, ByteSink& sink)
      : core_(key, Direction::Encrypt), fillers_(schedule), random_(random), output_(sink, kOutputBytes) {
    if (fillers_.on()) {
      cipher_.resize(kCipherBlock);
      draws_.resize(kDrawBatch);
    }
  }

  bool push(std::span<const std::uint8_t> plaintext) {
    const std::uint8_t* in = plaintext.data();
    std::size_t n = plaintext.size();
    while (n > 0) {
      if (!output_.makeRoom()) return false;
      if (fillers_.on()) {
        const std::size_t block = std::min(n, kCipherBlock);
        core_.transform(in, cipher_.data(), block);
        if (!writeWithFillers(cipher_.data(), block)) return false;
        in += block;
        n -= block;
      } else {
        const std::size_t block = std::min(n, output_.space());
        core_.transform(in, output_.tail(), block);
        output_.commit(block);
        in += block;
        n -= block;
      }
    }
    return !output_.failed();
  }

  bool finish() { return output_.flush(); }

 private:
  // A stretch of output: the fillers still owed for the last cipher byte,
  // then cipher bytes each followed by its fillers, the last perhaps cut
  // short.
  struct Stretch {
    std::size_t cipherBytes = 0;
    std::size_t fillers = 0;
  };

  bool writeWithFillers(const std::uint8_t* cipher, std::size_t n) {
    for (std::size_t next = 0; next < n || owed_ > 0;) {
      if (!output_.makeRoom()) return false;
      const Stretch stretch = plan(n - next);
      write(cipher + next, stretch);
      next += stretch.cipherBytes;
    }
    return true;
  }

  // The longest stretch that fits both the buffer and one batch of draws.
  Stretch plan(std::size_t cipherLeft) const {
    const std::size_t room = output_.space();
    Stretch stretch;
    std::size_t used = 0;
    std::uint32_t owed = owed_;
    FillerCounts counts = fillers_;
    for (;;) {
      const std::size_t take = std::min<std::size_t>({owed, room - used, kDrawBatch - stretch.fillers});
      used += take;
      stretch.fillers += take;
      owed -= static_cast<std::uint32_t>(take);
      if (owed > 0 || stretch.cipherBytes == cipherLeft || used == room) return stretch;
      ++used;
      ++stretch.cipherBytes;
      owed = counts.next();
    }
  }

  // Draws exactly the stretch's fillers and writes the stretch.
  void write(const std::uint8_t* cipher, Stretch stretch) {
    if (stretch.fillers > 0) random_.draw({draws_.data(), stretch.fillers});
    const std::uint32_t* values = draws_.data();
    std::uint8_t* out = output_.tail();
    auto writeOwed = [&] {
      const std::size_t take = std::min<std::size_t>(owed_, stretch.fillers);
      writeFillers(values, out, take);
      values += take;
      out += take;
      stretch.fillers -= take;
      owed_ -= static_cast<std::uint32_t>(take);
    };
    writeOwed();
    for (std::size_t b = 0; b < stretch.cipherBytes; ++b) {
      *out++ = cipher[b];
      owed_ = fillers_.next();
      writeOwed();
    }
    output_.commit(static_cast<std::size_t>(out - output_.tail()));
  }

  CipherCore core_;
  FillerCounts fillers_;
  RandomSource& random_;
  OutputBuffer output_;
  std::vector<std::uint8_t> cipher_;
  std::vector<std::uint32_t> draws_;
  std::uint32_t owed_ = 0;  // fillers still to write after the last cipher byte
};

Encryptor::Encryptor(const Key& key, const Schedule& schedule, RandomSource& random, ByteSink& sink)
    : impl_(std::make_unique<Impl>(key, schedule, random, sink)) {}

Encryptor::~Encryptor() = default;

bool Encryptor::push(std::span<const std::uint8_t> plaintext) { return impl_->push(plaintext); }

bool Encryptor::finish() { return impl_->finish(); }

}  // namespace vantor::cipher
