#include "cipher/CipherCore.h"

#include <algorithm>
#include <array>
#include <atomic>

namespace vantor::cipher {
namespace {

// Large enough that taking a chunk costs nothing, small enough that the
// owner's wait for the helper's last one is short.
constexpr std::size_t kLargestChunk = 16 * 1024;

}  // namespace

CipherCore::CipherCore(const Key& key, Direction direction)
    : direction_(direction), settings_(engineSettings()), literal_(std::make_unique<LiteralTables>(key)) {
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
  const Kernel kernel =
      settings_.kernel && kernelRuns(*settings_.kernel) ? *settings_.kernel : fastestKernel();
  const KernelPair kernels = kernelsFor(kernel);
  if (direction_ == Direction::Encrypt) {
    kernel_ = kernels.encrypt;
  } else if (allPermutations()) {
    kernel_ = kernels.decrypt;
  } else {
    general_ = std::make_unique<GeneralDecryption>(*literal_);
  }
  plan_ = std::make_unique<OffsetPlan>(clocks);
  cursor_ = std::make_unique<OffsetCursor>(*plan_);
  literal_.reset();
}

bool CipherCore::allPermutations() const {
  for (int t = 0; t < kTableCount; ++t) {
    if (!literal_->permutation(t)) return false;
  }
  return true;
}

void CipherCore::transform(const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
  for (; n > 0 && literal_; --n) {
    *out++ = direction_ == Direction::Encrypt ? literal_->encrypt(*in++) : literal_->decrypt(*in++);
    if (literal_->settled()) settle();
  }
  if (n == 0) return;
  if (settings_.helperThread && n >= std::max<std::size_t>(settings_.minimumSplit, 2)) {
    transformShared(in, out, n);
  } else {
    runRange(*cursor_, position_, in, out, n);
  }
  position_ += n;
}

// Both threads take chunks in turn from a common counter, so each goes
// forward through the stream and neither waits for the other except at the
// very end, for the helper's last chunk.
void CipherCore::transformShared(const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
  if (!helper_) {
    helper_ = std::make_unique<HelperThread>();
    helperCursor_ = std::make_unique<OffsetCursor>(*plan_);
  }
  const std::size_t chunk = std::clamp<std::size_t>(n / 8 / 64 * 64, 1, kLargestChunk);
  const std::size_t chunks = (n + chunk - 1) / chunk;
  std::atomic<std::size_t> next{0};
  const std::uint64_t first = position_;
  auto work = [&, this](OffsetCursor& cursor) {
    for (std::size_t c; (c = next.fetch_add(1)) < chunks;) {
      const std::size_t start = c * chunk;
      runRange(cursor, first + start, in + start, out + start, std::min(chunk, n - start));
    }
  };
  helper_->start([&] { work(*helperCursor_); });
  work(*cursor_);
  helper_->takeBack();
}

void CipherCore::runRange(OffsetCursor& cursor, std::uint64_t first, const std::uint8_t* in,
                          std::uint8_t* out, std::size_t n) const {
  for (std::size_t done = 0; done < n; done += kPieceBytes) {
    const std::size_t piece = std::min(kPieceBytes, n - done);
    const OffsetRows rows = cursor.rows(first + done, piece);
    if (general_) {
      general_->run(rows, in + done, out + done, piece);
    } else {
      kernel_(*tables_, rows, in + done, out + done, piece);
    }
  }
}

}  // namespace vantor::cipher
