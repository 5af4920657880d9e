#include "cipher/Kernels.h"

namespace vantor::cipher {
namespace {

// Row k of a half holds row k of the table XOR row k + 1 (the half's last row
// as it is): XOR-ing rows k up to the half's end gives back row k, which the
// AVX2 kernel does for exactly the rows at or above the looked-up row.
void deriveNibbleRows(const std::uint8_t* table, std::uint8_t* rows) {
  for (int half = 0; half < 2; ++half) {
    for (int k = 0; k < 8; ++k) {
      const int row = half * 8 + k;
      for (int i = 0; i < 16; ++i) {
        const std::uint8_t next = k < 7 ? table[(row + 1) * 16 + i] : 0;
        rows[row * 16 + i] = static_cast<std::uint8_t>(table[row * 16 + i] ^ next);
      }
    }
  }
}

}  // namespace

void deriveKernelTables(KernelTables& tables) {
  for (int t = 0; t < kTableCount; ++t) {
    for (int x = 0; x < 256; ++x) {
      tables.inverse[t][tables.forward[t][x]] = static_cast<std::uint8_t>(x);
    }
    deriveNibbleRows(tables.forward[t], tables.forwardNibbleRows[t]);
    deriveNibbleRows(tables.inverse[t], tables.inverseNibbleRows[t]);
  }
}

}  // namespace vantor::cipher
