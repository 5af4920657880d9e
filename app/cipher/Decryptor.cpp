// Decryption: the cipher bytes are picked out from between the filler bytes
// and taken back through the tables.
#include <algorithm>
#include <vector>

#include "cipher/Cipher.h"
#include "cipher/CipherPipeline.h"
#include "cipher/FillerCounts.h"

namespace vantor::cipher {
namespace {

constexpr std::size_t kGatherBytes = std::size_t{64} * 1024;

}  // namespace

class Decryptor::Impl {
 public:
  Impl(const Key& key, const Schedule& schedule, ByteSink& sink)
      : pipeline_(key, Direction::Decrypt, engineSettings()),
        fillers_(schedule),
        consume_(
            [&sink](std::span<const std::uint8_t> plaintext) { return sink.write(plaintext); }) {
    if (fillers_.on()) gathered_.resize(kGatherBytes);
  }

  bool push(std::span<const std::uint8_t> ciphertext) {
    if (!fillers_.on()) return pipeline_.feed(ciphertext, consume_);
    std::size_t count = 0;
    for (std::size_t i = 0; i < ciphertext.size();) {
      if (skip_ > 0) {
        const std::size_t skipped = std::min<std::size_t>(skip_, ciphertext.size() - i);
        i += skipped;
        skip_ -= static_cast<std::uint32_t>(skipped);
        continue;
      }
      gathered_[count++] = ciphertext[i++];
      skip_ = fillers_.next();
      if (count == gathered_.size()) {
        if (!pipeline_.feed(gathered_, consume_)) return false;
        count = 0;
      }
    }
    return pipeline_.feed({gathered_.data(), count}, consume_);
  }

  bool finish() { return pipeline_.flush(consume_); }

 private:
  CipherPipeline pipeline_;
  FillerCounts fillers_;
  CipherPipeline::Consumer consume_;
  std::vector<std::uint8_t> gathered_;
  std::uint32_t skip_ = 0;  // filler bytes still to pass over
};

Decryptor::Decryptor(const Key& key, const Schedule& schedule, ByteSink& sink)
    : impl_(std::make_unique<Impl>(key, schedule, sink)) {}

Decryptor::~Decryptor() = default;

bool Decryptor::push(std::span<const std::uint8_t> ciphertext) { return impl_->push(ciphertext); }

bool Decryptor::finish() { return impl_->finish(); }

}  // namespace vantor::cipher
