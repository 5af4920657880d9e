// Decryption: the cipher bytes are picked out from between the filler bytes
// and taken back through the tables.
#include <algorithm>
#include <memory>
#include <optional>

#include "cipher/Cipher.h"
#include "cipher/CipherPipeline.h"
#include "cipher/FillerCounts.h"
#include "cipher/StagedInput.h"

namespace vantor::cipher {

// Without fillers input lands straight in the pipeline's units. With them it
// is read a block at a time into a staging buffer, and only its cipher
// bytes go on into the units.
class Decryptor::Impl {
 public:
  Impl(const Key& key, const Schedule& schedule, ByteSink& sink)
      : pipeline_(key, Direction::Decrypt, engineSettings(), sink), fillers_(schedule) {
    if (fillers_.on()) staging_.emplace(engineSettings().blockBytes);
  }

  std::span<std::uint8_t> space() { return staging_ ? staging_->space() : pipeline_.space(); }

  bool commit(std::size_t n) {
    if (!staging_) return pipeline_.commit(n);
    return staging_->commit(n, [this](auto bytes) { return gather(bytes); });
  }

  bool finish() { return !(staging_ && staging_->refused()) && pipeline_.finish(); }

 private:
  // Commits the cipher bytes among the staged bytes.
  bool gather(std::span<const std::uint8_t> staged) {
    const std::size_t n = staged.size();
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
      room[used++] = staged[i++];
      skip_ = fillers_.next();
    }
    return used == 0 || pipeline_.commit(used);
  }

  CipherPipeline pipeline_;
  FillerCounts fillers_;
  std::optional<StagedInput> staging_;
  std::uint32_t skip_ = 0;  // filler bytes still to pass over
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
