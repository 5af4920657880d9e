// Encryption: the cipher bytes, each followed by its filler bytes drawn from
// the random source.
#include <algorithm>
#include <optional>
#include <vector>

#include "cipher/Cipher.h"
#include "cipher/CipherPipeline.h"
#include "cipher/FillerCounts.h"
#include "cipher/OutputBuffer.h"

namespace vantor::cipher {
namespace {

constexpr std::size_t kOutputBytes = std::size_t{256} * 1024;
constexpr std::size_t kDrawBatch = std::size_t{16} * 1024;

// A filler is Trunc(rnd * 255 + 1) - 1 for rnd = value / 2^20, which is exact
// in integers.
void writeFillers(const std::uint32_t* values, std::uint8_t* out, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>((values[i] * 255u) >> 20);
}

}  // namespace

class Encryptor::Impl {
 public:
  // Without fillers the pipeline's blocks go to the sink as they are.
  Impl(const Key& key, const Schedule& schedule, RandomSource& random, ByteSink& sink)
      : pipeline_(key, Direction::Encrypt, engineSettings()), fillers_(schedule), random_(random) {
    if (fillers_.on()) {
      output_.emplace(sink, kOutputBytes);
      draws_.resize(kDrawBatch);
      consume_ = [this](std::span<const std::uint8_t> cipher) { return writeWithFillers(cipher); };
    } else {
      consume_ = [&sink](std::span<const std::uint8_t> cipher) { return sink.write(cipher); };
    }
  }

  bool push(std::span<const std::uint8_t> plaintext) { return pipeline_.feed(plaintext, consume_); }

  bool finish() { return pipeline_.flush(consume_) && (!output_ || output_->flush()); }

 private:
  // A stretch of output: the fillers still owed for the last cipher byte,
  // then cipher bytes each followed by its fillers, the last perhaps cut
  // short.
  struct Stretch {
    std::size_t cipherBytes = 0;
    std::size_t fillers = 0;
  };

  bool writeWithFillers(std::span<const std::uint8_t> cipher) {
    for (std::size_t next = 0; next < cipher.size() || owed_ > 0;) {
      if (!output_->makeRoom()) return false;
      const Stretch stretch = plan(cipher.size() - next);
      write(cipher.data() + next, stretch);
      next += stretch.cipherBytes;
    }
    return true;
  }

  // The longest stretch that fits both the buffer and one batch of draws.
  Stretch plan(std::size_t cipherLeft) const {
    const std::size_t room = output_->space();
    Stretch stretch;
    std::size_t used = 0;
    std::uint32_t owed = owed_;
    FillerCounts counts = fillers_;
    for (;;) {
      const std::size_t take =
          std::min<std::size_t>({owed, room - used, kDrawBatch - stretch.fillers});
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
    std::uint8_t* out = output_->tail();
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
    output_->commit(static_cast<std::size_t>(out - output_->tail()));
  }

  CipherPipeline pipeline_;
  FillerCounts fillers_;
  RandomSource& random_;
  std::optional<OutputBuffer> output_;
  std::vector<std::uint32_t> draws_;
  std::uint32_t owed_ = 0;  // fillers still to write after the last cipher byte
  CipherPipeline::Consumer consume_;
};

Encryptor::Encryptor(const Key& key, const Schedule& schedule, RandomSource& random, ByteSink& sink)
    : impl_(std::make_unique<Impl>(key, schedule, random, sink)) {}

Encryptor::~Encryptor() = default;

bool Encryptor::push(std::span<const std::uint8_t> plaintext) { return impl_->push(plaintext); }

bool Encryptor::finish() { return impl_->finish(); }

}  // namespace vantor::cipher
