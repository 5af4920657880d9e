// Encryption: the cipher bytes, each followed by its filler bytes drawn from
// the random source.
#include <algorithm>
#include <memory>
#include <optional>

#include "cipher/Cipher.h"
#include "cipher/CipherPipeline.h"
#include "cipher/Fillers.h"

namespace vantor::cipher {

// Without fillers input lands straight in the pipeline's units. With them a
// unit holds only the few cipher bytes whose output fills a block, so input
// is read a block at a time into a staging buffer and shared out from there.
class Encryptor::Impl {
 public:
  Impl(const Key& key, const Schedule& schedule, RandomSource& random, ByteSink& sink)
      : fillers_(schedule.on ? std::make_optional<Fillers>(schedule, random) : std::nullopt),
        pipeline_(key, Direction::Encrypt, engineSettings(), sink,
                  fillers_ ? &*fillers_ : nullptr) {
    if (fillers_) {
      stagingBytes_ = std::max<std::size_t>(engineSettings().blockBytes, 1);
      staging_ = std::make_unique_for_overwrite<std::uint8_t[]>(stagingBytes_);
    }
  }

  std::span<std::uint8_t> space() {
    if (!staging_) return pipeline_.space();
    if (failed_) return {};
    return {staging_.get(), stagingBytes_};
  }

  bool commit(std::size_t n) {
    if (!staging_) return pipeline_.commit(n);
    if (!failed_ && !pushThrough(pipeline_, {staging_.get(), n})) failed_ = true;
    return !failed_;
  }

  bool finish() { return !failed_ && pipeline_.finish(); }

 private:
  std::optional<Fillers> fillers_;
  CipherPipeline pipeline_;
  std::unique_ptr<std::uint8_t[]> staging_;
  std::size_t stagingBytes_ = 0;
  bool failed_ = false;
};

Encryptor::Encryptor(const Key& key, const Schedule& schedule, RandomSource& random, ByteSink& sink)
    : impl_(std::make_unique<Impl>(key, schedule, random, sink)) {}

Encryptor::~Encryptor() = default;

std::span<std::uint8_t> Encryptor::space() { return impl_->space(); }

bool Encryptor::commit(std::size_t n) { return impl_->commit(n); }

bool Encryptor::push(std::span<const std::uint8_t> plaintext) {
  return pushThrough(*this, plaintext);
}

bool Encryptor::finish() { return impl_->finish(); }

}  // namespace vantor::cipher
