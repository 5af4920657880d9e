#include "cipher/GeneralDecryption.h"

#include <algorithm>
#include <string_view>

namespace vantor::cipher {
namespace {

constexpr int kEmpty = -1;

bool isPermutation(std::string_view bytes) {
  if (bytes.size() < 256) return false;
  std::array<bool, 256> seen{};
  for (std::size_t i = 0; i < 256; ++i) seen[static_cast<unsigned char>(bytes[i])] = true;
  return std::all_of(seen.begin(), seen.end(), [](bool b) { return b; });
}

}  // namespace

GeneralDecryption::GeneralDecryption(const LiteralTables& settled) {
  for (int t = 0; t < kTableCount; ++t) {
    const std::string_view bytes = settled.table(t);
    Table& table = tables_[t];
    if (bytes.empty()) continue;
    if (isPermutation(bytes)) {
      table.shape = Shape::Permutation;
      for (int i = 0; i < 256; ++i) table.inverse[static_cast<unsigned char>(bytes[i])] = static_cast<std::uint8_t>(i);
      continue;
    }
    // Only the first 256 bytes can be found: a later position has no
    // alphabet byte. A table that rotates has exactly 256.
    table.shape = Shape::Partial;
    const std::size_t size = std::min<std::size_t>(bytes.size(), 256);
    for (std::size_t i = 0; i < size; ++i) table.present[static_cast<unsigned char>(bytes[i])] = true;
    const int offsets = settled.rotating(t) ? 256 : 1;
    table.first.resize(static_cast<std::size_t>(offsets) * 256);
    for (int offset = 0; offset < offsets; ++offset) {
      std::uint8_t* first = table.first.data() + offset * 256;
      for (std::size_t i = size; i-- > 0;) {
        first[static_cast<unsigned char>(bytes[(i + offset) % size])] = static_cast<std::uint8_t>(i);
      }
    }
  }
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
        x = table.present[x] ? table.first[offset * 256 + x] : kEmpty;
      }
    }
    out[j] = x == kEmpty ? 0 : static_cast<std::uint8_t>(x);
  }
}

}  // namespace vantor::cipher
