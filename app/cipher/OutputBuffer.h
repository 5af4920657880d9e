// Output on its way to the sink, gathered so that the sink sees large writes
// whatever the size of the pushes, and never more than the capacity held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cipher/Cipher.h"

namespace vantor::cipher {

class OutputBuffer {
 public:
  OutputBuffer(ByteSink& sink, std::size_t capacity);

  std::uint8_t* tail() { return bytes_.data() + used_; }
  std::size_t space() const { return bytes_.size() - used_; }
  void commit(std::size_t n) { used_ += n; }

  // Hands everything held to the sink; false once the sink has refused.
  bool flush();
  // Makes room for at least one byte.
  bool makeRoom() { return space() > 0 || flush(); }
  bool failed() const { return failed_; }

 private:
  ByteSink& sink_;
  std::vector<std::uint8_t> bytes_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace vantor::cipher
