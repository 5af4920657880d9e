#include "RandomDraws.h"

#include <algorithm>
#include <utility>

namespace vantor::app {
namespace {

// Values read at once for next(): a component-1 line takes 3003.
constexpr std::size_t kBufferValues = std::size_t{64} * 1024;

RandomReader& replacement() {
  static RandomReader reader;
  return reader;
}

}  // namespace

RandomDraws::RandomDraws(rt::numbers::RandomUse use) : reader_(replacement()) {
  if (!reader_) {
    reader_ = [use](std::span<std::uint32_t> out) {
      return rt::numbers::drawSecureRandomBits(out, use);
    };
  }
}

bool RandomDraws::available() {
  if (buffer_.empty()) refill();
  return available_;
}

void RandomDraws::draw(std::span<std::uint32_t> out) {
  const std::size_t buffered = std::min(out.size(), buffer_.size() - next_);
  std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(next_), buffered, out.begin());
  next_ += buffered;
  // Large requests go straight to the source, without a copy.
  read(out.subspan(buffered));
}

void RandomDraws::refill() {
  buffer_.resize(kBufferValues);
  read(buffer_);
  next_ = 0;
}

void RandomDraws::read(std::span<std::uint32_t> out) {
  if (out.empty() || reader_(out)) return;
  // Whatever the reader left there is no random value.
  std::fill(out.begin(), out.end(), 0);
  available_ = false;
}

void replaceRandomReader(RandomReader reader) { replacement() = std::move(reader); }

}  // namespace vantor::app
