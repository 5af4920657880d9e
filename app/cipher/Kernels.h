// The table look-up kernels. Every table a kernel sees has 256 bytes; its
// bytes at the current byte are its starting bytes rotated by that byte's
// offset. A kernel takes n bytes through all 20 tables: encryption looks up
// table[(x + offset) mod 256] from table 1 to 20, decryption takes
// (position of x) - offset from table 20 down to 1 and needs every table to
// be a permutation. Every kernel reads a byte before it writes its result, so
// in and out may be the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cipher/Cipher.h"
#include "cipher/EngineSettings.h"

namespace vantor::cipher {

// One offset for each byte of the block, per table.
struct OffsetRows {
  const std::uint8_t* row[kTableCount];
};

// The tables in the shapes the kernels read.
struct alignas(64) KernelTables {
  std::uint8_t forward[kTableCount][256];
  std::uint8_t inverse[kTableCount][256];
  // Sixteen rows of 16 bytes per table, each row the exclusive or of the
  // table's row and the next one within its half, for nibble-wise look-ups.
  std::uint8_t forwardNibbleRows[kTableCount][256];
  std::uint8_t inverseNibbleRows[kTableCount][256];
};

// Fills every shape from forward[]; inverse[] only means something when each
// forward table is a permutation.
void deriveKernelTables(KernelTables& tables);

using KernelFunction = void (*)(const KernelTables& tables, const OffsetRows& offsets,
                                const std::uint8_t* in, std::uint8_t* out, std::size_t n);

struct KernelPair {
  KernelFunction encrypt;
  KernelFunction decrypt;
};

// One byte at a time, bytes first to end - 1: the vector kernels' tails.
void encryptBytes(const KernelTables& tables, const OffsetRows& offsets, const std::uint8_t* in,
                  std::uint8_t* out, std::size_t first, std::size_t end);
void decryptBytes(const KernelTables& tables, const OffsetRows& offsets, const std::uint8_t* in,
                  std::uint8_t* out, std::size_t first, std::size_t end);

KernelPair scalarKernels();
KernelPair avx2Kernels();
KernelPair avx512VbmiKernels();
KernelPair kernelsFor(Kernel kernel);

}  // namespace vantor::cipher
