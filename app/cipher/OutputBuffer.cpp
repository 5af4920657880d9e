#include "cipher/OutputBuffer.h"

namespace vantor::cipher {

OutputBuffer::OutputBuffer(ByteSink& sink, std::size_t capacity) : sink_(sink), bytes_(capacity) {}

bool OutputBuffer::flush() {
  if (failed_) return false;
  if (used_ > 0 && !sink_.write({bytes_.data(), used_})) failed_ = true;
  used_ = 0;
  return !failed_;
}

}  // namespace vantor::cipher
