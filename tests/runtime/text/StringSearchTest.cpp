#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TextTest.h"
#include "text/SmallBlockAllocator.h"
#include "text/StringFunctionsApi.h"

namespace {

using rt::String;
using namespace rt::test;

class StringSearchTest : public TextTest {};

TEST_F(StringSearchTest, FindsByCharacterAndByByte) {
  const String accented = "\xC3\xA7y\xC3\xA9x\xC3\x89";  // c cedilla, y, e acute, x, E acute
  const struct {
    std::int32_t start;
    String source;
    String find;
    std::int32_t inStr;
    std::int32_t inStrB;
  } cases[] = {
      {1, "abcABC", "C", 3, 6},
      {5, "abc", String(), 5, 5},
      {-2, "abc", String(), -2, -2},
      {1, String(), "a", 0, 0},
      {-7, "abcb", "b", 2, 2},
      {3, "abcb", "b", 4, 4},
      {4, "abc", "c", 0, 0},
      {2, "abc", "abc", 0, 0},
      {1, "xxxxAbc", "aBC", 5, 0},
      {1, accented, "\xC3\x89", 3, 7},
      {4, accented, "\xC3\xA9", 5, 4},
      {1, "a\xCE\x9C", "\xCE\xBC", 0, 0},  // small mu folds to the micro sign
      {1, utf16(u"abcABC"), "C", 3, 11},
      {2, utf16(u"abcABC"), utf16(u"B"), 2, 9},
      {1, utf32(U"aXbC"), ascii("c"), 4, 0},
      {1, utf32(U"AB"), utf32(U"b"), 2, 0},
      {1, String::bytes("a\x8E", 0), String::bytes("\x83", 0), 0, 0},  // byte text folds a-z only
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StringInStr(c.start, c.source.get(), c.find.get()), c.inStr) << c.source.str();
    EXPECT_EQ(StringInStrB(c.start, c.source.get(), c.find.get()), c.inStrB) << c.source.str();
  }
}

TEST_F(StringSearchTest, SearchInOneEncodingNeedsNoAllocation) {
  const String source = "the quick brown fox";
  const String upper = ascii("BROWN");
  const auto before = rt::memory::bytesInUse();
  EXPECT_EQ(StringInStr(1, source.get(), upper.get()), 11);
  EXPECT_EQ(rt::memory::bytesInUse(), before);
}

// Long finds in long texts take the skipping search; it must agree with a
// plain scan at every start, over texts rich in near misses and of all bytes.
TEST_F(StringSearchTest, SkippingSearchFindsTheFirstMatch) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    const int letters = round % 10 == 0 ? 256 : 3;
    const auto fill = [&](std::string& text) {
      for (char& c : text) c = static_cast<char>('a' + random() % letters);
    };
    std::string source(100 + random() % 300, ' ');
    std::string find(5 + random() % 6, ' ');
    fill(source);
    fill(find);
    if (round % 2 == 0) source.replace(random() % (source.size() - find.size()), find.size(), find);
    const String s = String::bytes(source, kEncodingUnknown);
    const String f = String::bytes(find, kEncodingUnknown);
    for (std::size_t start0 :
         {std::size_t{0}, std::size_t{1}, std::size_t{17}, source.size() - 90}) {
      const std::size_t at = source.find(find, start0);
      const std::int32_t expected = at == std::string::npos ? 0 : static_cast<std::int32_t>(at) + 1;
      ASSERT_EQ(StringInStrB(static_cast<std::int32_t>(start0) + 1, s.get(), f.get()), expected)
          << "round " << round << ", start " << start0 + 1;
    }
  }
}

}  // namespace
