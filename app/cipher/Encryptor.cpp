// Encryption: the cipher bytes, each followed by its filler bytes drawn from
// the random source.
#include <memory>
#include <optional>

#include "cipher/Cipher.h"
#include "cipher/CipherPipeline.h"
#include "cipher/Fillers.h"
#include "cipher/StagedInput.h"

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
    if (fillers_) staging_.emplace(engineSettings().blockBytes);
  }

  std::span<std::uint8_t> space() { return staging_ ? staging_->space() : pipeline_.space(); }

  bool commit(std::size_t n) {
    if (!staging_) return pipeline_.commit(n);
    return staging_->commit(n, [this](auto bytes) { return pushThrough(pipeline_, bytes); });
  }

  bool finish() { return !(staging_ && staging_->refused()) && pipeline_.finish(); }

 private:
  std::optional<Fillers> fillers_;
  CipherPipeline pipeline_;
  std::optional<StagedInput> staging_;
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
