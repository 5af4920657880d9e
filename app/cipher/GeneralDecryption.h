// Decryption through settled tables that are not all permutations, one byte
// at a time. A byte missing from a table's first 256 bytes comes out as the
// empty string, which the next table takes as position 1 (its byte 0) and
// which leaves the last table as 0; an empty table finds nothing at all.
// Where a byte occurs more than once its first occurrence counts, and which
// one is first depends on the table's rotation: such tables keep every
// position of each byte and look for the first at or after the offset.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "cipher/Kernels.h"
#include "cipher/LiteralTables.h"

namespace vantor::cipher {

class GeneralDecryption {
 public:
  explicit GeneralDecryption(const LiteralTables& settled);

  void run(const OffsetRows& offsets, const std::uint8_t* in, std::uint8_t* out,
           std::size_t n) const;

 private:
  enum class Shape { Permutation, Partial, Empty };

  struct Table {
    Shape shape = Shape::Empty;
    std::array<std::uint8_t, 256> inverse{};  // permutations
    // Partial tables: the positions of byte x, ascending, are
    // positions[start[x]] up to positions[start[x + 1] - 1].
    std::array<std::uint16_t, 257> start{};
    std::array<std::uint8_t, 256> positions{};
  };

  static int firstPosition(const Table& table, unsigned x, unsigned offset);

  std::array<Table, kTableCount> tables_;
};

}  // namespace vantor::cipher
