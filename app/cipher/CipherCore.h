// The substitution stream of one cryption: each byte in gives one byte out,
// without the filler bytes. It runs the literal tables while the key needs
// them (a damaged key can for its first bytes), then the kernels, and shares
// long blocks with a helper thread: each thread reads its own offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "cipher/Cipher.h"
#include "cipher/EngineSettings.h"
#include "cipher/GeneralDecryption.h"
#include "cipher/HelperThread.h"
#include "cipher/Kernels.h"
#include "cipher/LiteralTables.h"
#include "cipher/OffsetPlan.h"

namespace vantor::cipher {

enum class Direction { Encrypt, Decrypt };

class CipherCore {
 public:
  CipherCore(const Key& key, Direction direction);
  ~CipherCore();
  CipherCore(const CipherCore&) = delete;
  CipherCore& operator=(const CipherCore&) = delete;

  // The next n bytes of the stream; in and out do not overlap.
  void transform(const std::uint8_t* in, std::uint8_t* out, std::size_t n);

 private:
  void settle();
  bool allPermutations() const;
  void transformShared(const std::uint8_t* in, std::uint8_t* out, std::size_t n);
  void runRange(OffsetCursor& cursor, std::uint64_t first, const std::uint8_t* in, std::uint8_t* out,
                std::size_t n) const;

  Direction direction_;
  EngineSettings settings_;
  std::unique_ptr<LiteralTables> literal_;  // until every table has settled
  std::unique_ptr<KernelTables> tables_;
  KernelFunction kernel_ = nullptr;
  std::unique_ptr<GeneralDecryption> general_;  // instead of the kernel
  std::unique_ptr<OffsetPlan> plan_;
  std::unique_ptr<OffsetCursor> cursor_;
  std::unique_ptr<OffsetCursor> helperCursor_;
  std::unique_ptr<HelperThread> helper_;
  std::uint64_t position_ = 0;  // bytes through the kernels so far
};

}  // namespace vantor::cipher
