// The substitution stream of one cryption: each byte in gives one byte out,
// without the filler bytes. The first bytes go through the literal tables
// while the key needs them (a damaged key can, for a few bytes); once every
// table has settled, any stretch of the stream goes through the kernels,
// given an offset cursor of the calling thread's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "cipher/Cipher.h"
#include "cipher/GeneralDecryption.h"
#include "cipher/Kernels.h"
#include "cipher/LiteralTables.h"
#include "cipher/OffsetPlan.h"

namespace vantor::cipher {

enum class Direction { Encrypt, Decrypt };

class CipherCore {
 public:
  CipherCore(const Key& key, Direction direction, Kernel kernel);
  ~CipherCore();
  CipherCore(const CipherCore&) = delete;
  CipherCore& operator=(const CipherCore&) = delete;

  bool settled() const { return literal_ == nullptr; }
  // The next byte of the stream while not settled.
  std::uint8_t literalByte(std::uint8_t byte);

  // Positions count the bytes after the literal ones.
  const OffsetPlan& plan() const { return *plan_; }
  // Bytes first to first + n - 1 of the stream once settled; in and out are
  // the same bytes or do not overlap at all.
  void run(OffsetCursor& cursor, std::uint64_t first, const std::uint8_t* in, std::uint8_t* out,
           std::size_t n) const;

 private:
  void settle();
  bool allPermutations() const;

  Direction direction_;
  Kernel kernel_;
  std::unique_ptr<LiteralTables> literal_;  // until every table has settled
  std::unique_ptr<KernelTables> tables_;
  KernelFunction function_ = nullptr;
  std::unique_ptr<GeneralDecryption> general_;  // instead of the kernel
  std::unique_ptr<OffsetPlan> plan_;
};

}  // namespace vantor::cipher
