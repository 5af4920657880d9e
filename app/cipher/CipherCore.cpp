#include "cipher/CipherCore.h"

#include <algorithm>
#include <array>

namespace vantor::cipher {

CipherCore::CipherCore(const Key& key, Direction direction, Kernel kernel)
    : direction_(direction), kernel_(kernel), literal_(std::make_unique<LiteralTables>(key)) {
  if (literal_->settled()) settle();
}

CipherCore::~CipherCore() = default;

// From here each table is its first 256 bytes at offset 0 (a shorter one
// padded with zeros, which encryption reads as the empty string it stands
// for), turning by its step if it rotates and fixed otherwise.
void CipherCore::settle() {
  tables_ = std::make_unique<KernelTables>();
  std::array<RotationClock, kTableCount> clocks;
  for (int t = 0; t < kTableCount; ++t) {
    const std::string& bytes = literal_->table(t);
    std::fill(std::begin(tables_->forward[t]), std::end(tables_->forward[t]), std::uint8_t{0});
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 256), tables_->forward[t]);
    clocks[t] = literal_->clock(t).restarted(literal_->rotating(t) ? literal_->step(t) : 0);
  }
  deriveKernelTables(*tables_);
  const KernelPair kernels = kernelsFor(kernel_);
  if (direction_ == Direction::Encrypt) {
    function_ = kernels.encrypt;
  } else if (allPermutations()) {
    function_ = kernels.decrypt;
  } else {
    general_ = std::make_unique<GeneralDecryption>(*literal_);
  }
  plan_ = std::make_unique<OffsetPlan>(clocks);
  literal_.reset();
}

bool CipherCore::allPermutations() const {
  for (int t = 0; t < kTableCount; ++t) {
    if (!literal_->permutation(t)) return false;
  }
  return true;
}

std::uint8_t CipherCore::literalByte(std::uint8_t byte) {
  const std::uint8_t result =
      direction_ == Direction::Encrypt ? literal_->encrypt(byte) : literal_->decrypt(byte);
  if (literal_->settled()) settle();
  return result;
}

void CipherCore::run(OffsetCursor& cursor, std::uint64_t first, const std::uint8_t* in,
                     std::uint8_t* out, std::size_t n) const {
  for (std::size_t done = 0, piece = 0; done < n; done += piece) {
    piece = std::min(cursor.mostFrom(first + done), n - done);
    const OffsetRows rows = cursor.rows(first + done, piece);
    if (general_) {
      general_->run(rows, in + done, out + done, piece);
    } else {
      function_(*tables_, rows, in + done, out + done, piece);
    }
  }
}

}  // namespace vantor::cipher
