#include "text/CaseTable.h"

#include "text/generated/CaseFoldingRows.h"

namespace rt::text {
namespace {

// Going from the last row to the first, an earlier row overwrites a later one
// with the same folded form, so the lowest character wins.
constexpr std::array<char16_t, 0x10000> buildUpperCaseTable() {
  std::array<char16_t, 0x10000> table{};
  for (std::size_t c = 0; c < table.size(); ++c) table[c] = static_cast<char16_t>(c);
  const auto& rows = generated::kCaseFoldingRows;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) table[row->folded] = row->character;
  return table;
}

}  // namespace

constinit const std::array<char16_t, 0x10000> upperCaseTable = buildUpperCaseTable();

std::span<const CaseFoldingRow> caseFoldingRows() { return generated::kCaseFoldingRows; }

}  // namespace rt::text
