// Plain C++ look-ups, for any processor. Four bytes go through the tables
// side by side so that their chains of dependent loads overlap.
#include "cipher/Kernels.h"

namespace vantor::cipher {
namespace {

constexpr std::size_t kLanes = 4;

void encryptScalar(const KernelTables& tables, const OffsetRows& offsets, const std::uint8_t* in,
                   std::uint8_t* out, std::size_t n) {
  std::size_t j = 0;
  for (; j + kLanes <= n; j += kLanes) {
    unsigned x[kLanes];
    for (std::size_t l = 0; l < kLanes; ++l) x[l] = in[j + l];
    for (int t = 0; t < kTableCount; ++t) {
      const std::uint8_t* table = tables.forwardDoubled[t];
      const std::uint8_t* offset = offsets.row[t] + j;
      for (std::size_t l = 0; l < kLanes; ++l) x[l] = table[x[l] + offset[l]];
    }
    for (std::size_t l = 0; l < kLanes; ++l) out[j + l] = static_cast<std::uint8_t>(x[l]);
  }
  for (; j < n; ++j) {
    unsigned x = in[j];
    for (int t = 0; t < kTableCount; ++t) x = tables.forwardDoubled[t][x + offsets.row[t][j]];
    out[j] = static_cast<std::uint8_t>(x);
  }
}

void decryptScalar(const KernelTables& tables, const OffsetRows& offsets, const std::uint8_t* in,
                   std::uint8_t* out, std::size_t n) {
  std::size_t j = 0;
  for (; j + kLanes <= n; j += kLanes) {
    std::uint8_t x[kLanes];
    for (std::size_t l = 0; l < kLanes; ++l) x[l] = in[j + l];
    for (int t = kTableCount - 1; t >= 0; --t) {
      const std::uint8_t* inverse = tables.inverse[t];
      const std::uint8_t* offset = offsets.row[t] + j;
      for (std::size_t l = 0; l < kLanes; ++l) x[l] = static_cast<std::uint8_t>(inverse[x[l]] - offset[l]);
    }
    for (std::size_t l = 0; l < kLanes; ++l) out[j + l] = x[l];
  }
  for (; j < n; ++j) {
    std::uint8_t x = in[j];
    for (int t = kTableCount - 1; t >= 0; --t) {
      x = static_cast<std::uint8_t>(tables.inverse[t][x] - offsets.row[t][j]);
    }
    out[j] = x;
  }
}

}  // namespace

KernelPair scalarKernels() { return {encryptScalar, decryptScalar}; }

}  // namespace vantor::cipher
