#include "text/CaseTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>

namespace {

using rt::text::CaseFoldingRow;
using rt::text::caseFoldingRows;
using rt::text::upperCase;

bool hasRow(char16_t character, char16_t folded) {
  const auto rows = caseFoldingRows();
  return std::any_of(rows.begin(), rows.end(), [&](const CaseFoldingRow& row) {
    return row.character == character && row.folded == folded;
  });
}

bool anyRowIn(char32_t first, char32_t last) {
  const auto rows = caseFoldingRows();
  return std::any_of(rows.begin(), rows.end(), [&](const CaseFoldingRow& row) {
    return (row.character >= first && row.character <= last) || (row.folded >= first && row.folded <= last);
  });
}

TEST(CaseTable, HoldsTheRowsOfUnicode32) {
  const auto rows = caseFoldingRows();
  ASSERT_EQ(rows.size(), 724u);
  EXPECT_EQ(rows.front().character, 0x0041);
  EXPECT_EQ(rows.front().folded, 0x0061);
  EXPECT_EQ(rows.back().character, 0xFF3A);
  EXPECT_EQ(rows.back().folded, 0xFF5A);
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(),
                             [](const auto& a, const auto& b) { return a.character < b.character; }));
  EXPECT_TRUE(std::adjacent_find(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
                return a.character == b.character;
              }) == rows.end());
  EXPECT_TRUE(hasRow(0x0220, 0x019E));
  EXPECT_TRUE(hasRow(0x1F88, 0x1F80));
  EXPECT_TRUE(hasRow(0x03F2, 0x03C3));
  EXPECT_FALSE(anyRowIn(0x10A0, 0x10FF)) << "Georgian";
  EXPECT_FALSE(anyRowIn(0x1C90, 0x1CBF)) << "Georgian Mtavruli";
  EXPECT_FALSE(anyRowIn(0x2D00, 0x2D2F)) << "Georgian Nuskhuri";
  EXPECT_FALSE(anyRowIn(0x2C00, 0x2C5F)) << "Glagolitic";
  EXPECT_FALSE(anyRowIn(0x13A0, 0x13FF)) << "Cherokee";
}

// Every row but the one added back is a C or S line of the installed data.
TEST(CaseTable, RowsAreSimpleFoldingsOfTheUnicodeData) {
  std::ifstream file("/usr/share/unicode/CaseFolding.txt");
  if (!file) GTEST_SKIP() << "no /usr/share/unicode/CaseFolding.txt";
  std::set<std::pair<unsigned, unsigned>> pairs;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    unsigned character = 0;
    unsigned folded = 0;
    char separator = 0;
    char status = 0;
    fields >> std::hex >> character >> separator >> status >> separator >> folded;
    if (status == 'C' || status == 'S') pairs.emplace(character, folded);
  }
  for (const CaseFoldingRow& row : caseFoldingRows()) {
    if (row.character == 0x03F2) continue;
    EXPECT_TRUE(pairs.count({row.character, row.folded}))
        << std::hex << "row U+" << unsigned(row.character) << " -> U+" << unsigned(row.folded);
  }
}

struct UpperCaseCase {
  char32_t in;
  char32_t out;
};

TEST(CaseTable, UpperCaseIsTheLowestCharacterOfTheFoldedForm) {
  const UpperCaseCase cases[] = {
      {U'a', U'A'},        {U'z', U'Z'},        {U'k', U'K'},  // not the Kelvin sign
      {U's', U'S'},                                            // not the long s
      {U'A', U'A'},        {U'1', U'1'},        {0x00E9, 0x00C9},  // e acute
      {0x00FF, 0x0178},                                          // y diaeresis
      {0x03BC, 0x00B5},                                          // mu: the micro sign
      {0x039C, 0x039C},    {0x03B9, 0x0345},                     // iota: ypogegrammeni
      {0x0399, 0x0399},    {0x03C3, 0x03A3},    {0x03C2, 0x03C2},
      {0x1F80, 0x1F88},    {0x019E, 0x0220},    {0x212A, 0x212A},
      {0x24D0, 0x24B6},    {0xFF41, 0xFF21},    {0x10D0, 0x10D0},  // Georgian: none
      {0x2C30, 0x2C30},                                            // Glagolitic: none
      {0x10428, 0x10428},                                          // beyond the BMP
  };
  for (const UpperCaseCase& c : cases) {
    EXPECT_EQ(upperCase(c.in), c.out) << std::hex << "U+" << unsigned(c.in);
  }
}

}  // namespace
