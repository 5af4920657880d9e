#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <utility>

#include "text/CaseTable.h"

namespace {

using rt::text::CaseFoldingRow;
using rt::text::caseFoldingRows;
using rt::text::upperCase;

bool anyRow(bool (*matches)(const CaseFoldingRow&)) {
  return std::any_of(caseFoldingRows().begin(), caseFoldingRows().end(), matches);
}

TEST(CaseTable, HoldsTheRowsOfUnicode32) {
  const auto rows = caseFoldingRows();
  ASSERT_EQ(rows.size(), 724u);
  EXPECT_EQ(std::pair(rows.front().character, rows.front().folded),
            std::pair(u'\u0041', u'\u0061'));
  EXPECT_EQ(std::pair(rows.back().character, rows.back().folded), std::pair(u'\uFF3A', u'\uFF5A'));
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(),
                             [](auto& a, auto& b) { return a.character <= b.character; }));
  EXPECT_TRUE(anyRow([](auto& r) { return r.character == 0x0220 && r.folded == 0x019E; }));
  EXPECT_TRUE(anyRow([](auto& r) { return r.character == 0x1F88 && r.folded == 0x1F80; }));
  EXPECT_TRUE(anyRow([](auto& r) { return r.character == 0x03F2 && r.folded == 0x03C3; }));
  EXPECT_FALSE(anyRow([](auto& r) { return r.folded >= 0x10A0 && r.folded <= 0x10FF; }))
      << "Georgian";
  EXPECT_FALSE(anyRow([](auto& r) { return r.folded >= 0x2D00 && r.folded <= 0x2D2F; }))
      << "Georgian";
  EXPECT_FALSE(anyRow([](auto& r) { return r.folded >= 0x2C30 && r.folded <= 0x2C5F; }))
      << "Glagolitic";
}

// Every row but the one added back is a C or S line of the installed data.
TEST(CaseTable, RowsAreSimpleFoldingsOfTheUnicodeData) {
  std::ifstream file("/usr/share/unicode/CaseFolding.txt");
  if (!file) GTEST_SKIP() << "no /usr/share/unicode/CaseFolding.txt";
  std::set<std::pair<unsigned, unsigned>> pairs;
  for (std::string line; std::getline(file, line);) {
    unsigned character = 0;
    unsigned folded = 0;
    char status = 0;
    if (std::sscanf(line.c_str(), "%x; %c; %x;", &character, &status, &folded) == 3 &&
        (status == 'C' || status == 'S')) {
      pairs.emplace(character, folded);
    }
  }
  for (const CaseFoldingRow& row : caseFoldingRows()) {
    EXPECT_TRUE(row.character == 0x03F2 || pairs.count({row.character, row.folded}))
        << std::hex << "U+" << unsigned(row.character) << " -> U+" << unsigned(row.folded);
  }
}

TEST(CaseTable, UpperCaseIsTheLowestCharacterOfTheFoldedForm) {
  const std::pair<char32_t, char32_t> cases[] = {
      {U'a', U'A'},     {U'k', U'K'},     {U's', U'S'},     {U'A', U'A'},       {0x00E9, 0x00C9},
      {0x00FF, 0x0178}, {0x03BC, 0x00B5}, {0x039C, 0x039C}, {0x03B9, 0x0345},   {0x0399, 0x0399},
      {0x03C3, 0x03A3}, {0x03C2, 0x03C2}, {0x1F80, 0x1F88}, {0x019E, 0x0220},   {0x212A, 0x212A},
      {0xFF41, 0xFF21}, {0x10D0, 0x10D0}, {0x2C30, 0x2C30}, {0x10428, 0x10428},
  };
  for (auto [in, out] : cases) EXPECT_EQ(upperCase(in), out) << std::hex << "U+" << unsigned(in);
}

}  // namespace
