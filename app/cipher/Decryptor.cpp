// Decryption: the cipher bytes are picked out from between the filler bytes
// and taken back through the tables.
#include <algorithm>
#include <memory>

#include "cipher/Cipher.h"
#include "cipher/CipherPipeline.h"
#include "cipher/FillerCounts.h"

namespace vantor::cipher {

// Without fillers input lands straight in the pipeline's units. With them it
// is read a block at a time into a staging buffer, and only its cipher
// bytes go on into the units.
class Decryptor::Impl {
 public:
  Impl(const Key& key, const Schedule& schedule, ByteSink& sink)
      : pipeline_(key, Direction::Decrypt, engineSettings(), sink), fillers_(schedule) {
    if (fillers_.on()) {
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
    if (!failed_ && !gather(n)) failed_ = true;
    return !failed_;
  }

  bool finish() { return !failed_ && pipeline_.finish(); }

 private:
  // Commits the cipher bytes among the first n staged bytes.
  bool gather(std::size_t n) {
    std::span<std::uint8_t> room;
    std::size_t used = 0;
    for (std::size_t i = 0; i < n;) {
      if (skip_ > 0) {
        const std::size_t skipped = std::min<std::size_t>(skip_, n - i);
        i += skipped;
        skip_ -= static_cast<std::uint32_t>(skipped);
        continue;
      }
      if (used == room.size()) {
        if (used > 0 && !pipeline_.commit(used)) return false;
        room = pipeline_.space();
        if (room.empty()) return false;
        used = 0;
      }
      room[used++] = staging_[i++];
      skip_ = fillers_.next();
    }
    return used == 0 || pipeline_.commit(used);
  }

  CipherPipeline pipeline_;
  FillerCounts fillers_;
  std::unique_ptr<std::uint8_t[]> staging_;
  std::size_t stagingBytes_ = 0;
  std::uint32_t skip_ = 0;  // filler bytes still to pass over
  bool failed_ = false;
};

Decryptor::Decryptor(const Key& key, const Schedule& schedule, ByteSink& sink)
    : impl_(std::make_unique<Impl>(key, schedule, sink)) {}

Decryptor::~Decryptor() = default;

std::span<std::uint8_t> Decryptor::space() { return impl_->space(); }

bool Decryptor::commit(std::size_t n) { return impl_->commit(n); }

bool Decryptor::push(std::span<const std::uint8_t> ciphertext) {
  return pushThrough(*this, ciphertext);
}

bool Decryptor::finish() { return impl_->finish(); }

}  // namespace vantor::cipher
