// Plain C++ look-ups, for any processor. Eight bytes go through the tables
// side by side so that their chains of dependent loads overlap, and their
// eight offsets of a table come in one 64-bit load.
#include <cstring>

#include "cipher/Kernels.h"

namespace vantor::cipher {
namespace {

constexpr std::size_t kLanes = 8;

std::uint64_t eightOffsets(const std::uint8_t* row) {
  std::uint64_t offsets;
  std::memcpy(&offsets, row, sizeof offsets);
  return offsets;
}

void encryptScalar(const KernelTables& tables, const OffsetRows& offsets, const std::uint8_t* in,
                   std::uint8_t* out, std::size_t n) {
  std::size_t j = 0;
  for (; j + kLanes <= n; j += kLanes) {
    unsigned x[kLanes];
    for (std::size_t l = 0; l < kLanes; ++l) x[l] = in[j + l];
    for (int t = 0; t < kTableCount; ++t) {
      const std::uint8_t* table = tables.forward[t];
      const std::uint64_t offset = eightOffsets(offsets.row[t] + j);
      for (std::size_t l = 0; l < kLanes; ++l)
        x[l] = table[static_cast<std::uint8_t>(x[l] + (offset >> (8 * l)))];
    }
    for (std::size_t l = 0; l < kLanes; ++l) out[j + l] = static_cast<std::uint8_t>(x[l]);
  }
  encryptBytes(tables, offsets, in, out, j, n);
}

void decryptScalar(const KernelTables& tables, const OffsetRows& offsets, const std::uint8_t* in,
                   std::uint8_t* out, std::size_t n) {
  std::size_t j = 0;
  for (; j + kLanes <= n; j += kLanes) {
    unsigned x[kLanes];
    for (std::size_t l = 0; l < kLanes; ++l) x[l] = in[j + l];
    for (int t = kTableCount - 1; t >= 0; --t) {
      const std::uint8_t* inverse = tables.inverse[t];
      const std::uint64_t offset = eightOffsets(offsets.row[t] + j);
      for (std::size_t l = 0; l < kLanes; ++l)
        x[l] = static_cast<std::uint8_t>(inverse[x[l]] - (offset >> (8 * l)));
    }
    for (std::size_t l = 0; l < kLanes; ++l) out[j + l] = static_cast<std::uint8_t>(x[l]);
  }
  decryptBytes(tables, offsets, in, out, j, n);
}

}  // namespace

void encryptBytes(const KernelTables& tables, const OffsetRows& offsets, const std::uint8_t* in,
                  std::uint8_t* out, std::size_t first, std::size_t end) {
  for (std::size_t j = first; j < end; ++j) {
    std::uint8_t x = in[j];
    for (int t = 0; t < kTableCount; ++t)
      x = tables.forward[t][static_cast<std::uint8_t>(x + offsets.row[t][j])];
    out[j] = x;
  }
}

void decryptBytes(const KernelTables& tables, const OffsetRows& offsets, const std::uint8_t* in,
                  std::uint8_t* out, std::size_t first, std::size_t end) {
  for (std::size_t j = first; j < end; ++j) {
    std::uint8_t x = in[j];
    for (int t = kTableCount - 1; t >= 0; --t) {
      x = static_cast<std::uint8_t>(tables.inverse[t][x] - offsets.row[t][j]);
    }
    out[j] = x;
  }
}

KernelPair scalarKernels() { return {encryptScalar, decryptScalar}; }

}  // namespace vantor::cipher
