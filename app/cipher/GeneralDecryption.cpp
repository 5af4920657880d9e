#include "cipher/GeneralDecryption.h"

#include <algorithm>
#include <string_view>

namespace vantor::cipher {
namespace {

constexpr int kEmpty = -1;

}  // namespace

GeneralDecryption::GeneralDecryption(const LiteralTables& settled) {
  for (int t = 0; t < kTableCount; ++t) {
    const std::string_view bytes = settled.table(t);
    Table& table = tables_[t];
    if (bytes.empty()) continue;
    if (settled.permutation(t)) {
      table.shape = Shape::Permutation;
      for (int i = 0; i < 256; ++i)
        table.inverse[static_cast<unsigned char>(bytes[i])] = static_cast<std::uint8_t>(i);
      continue;
    }
    // Only the first 256 bytes can be found: a later position has no
    // alphabet byte. A table that rotates has exactly 256.
    table.shape = Shape::Partial;
    const std::size_t size = std::min<std::size_t>(bytes.size(), 256);
    for (std::size_t i = 0; i < size; ++i) ++table.start[static_cast<unsigned char>(bytes[i]) + 1];
    for (int x = 0; x < 256; ++x)
      table.start[x + 1] = static_cast<std::uint16_t>(table.start[x + 1] + table.start[x]);
    std::array<std::uint16_t, 256> next{};
    std::copy_n(table.start.begin(), 256, next.begin());
    for (std::size_t i = 0; i < size; ++i) {
      table.positions[next[static_cast<unsigned char>(bytes[i])]++] = static_cast<std::uint8_t>(i);
    }
  }
}

// The table's byte at index i is its starting byte at (i + offset) mod 256,
// so the first index holding x is the first position at or after the offset,
// or failing that the first position of all, counted round the end.
int GeneralDecryption::firstPosition(const Table& table, unsigned x, unsigned offset) {
  const std::uint8_t* begin = table.positions.data() + table.start[x];
  const std::uint8_t* end = table.positions.data() + table.start[x + 1];
  if (begin == end) return kEmpty;
  for (const std::uint8_t* p = begin; p < end; ++p) {
    if (*p >= offset) return static_cast<int>(*p - offset);
  }
  return static_cast<int>(*begin + 256 - offset);
}

void GeneralDecryption::run(const OffsetRows& offsets, const std::uint8_t* in, std::uint8_t* out,
                            std::size_t n) const {
  for (std::size_t j = 0; j < n; ++j) {
    int x = in[j];
    for (int t = kTableCount - 1; t >= 0; --t) {
      const Table& table = tables_[t];
      const unsigned offset = offsets.row[t][j];
      if (table.shape == Shape::Empty) {
        x = kEmpty;
      } else if (x == kEmpty) {
        x = 0;
      } else if (table.shape == Shape::Permutation) {
        x = static_cast<std::uint8_t>(table.inverse[x] - offset);
      } else {
        x = firstPosition(table, static_cast<unsigned>(x), offset);
      }
    }
    out[j] = x == kEmpty ? 0 : static_cast<std::uint8_t>(x);
  }
}

}  // namespace vantor::cipher
