#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/SmallBlockAllocator.h"
#include "text/StringFunctionsApi.h"
#include "TextTest.h"

namespace {

using rt::String;
using namespace rt::test;

class StringSearchTest : public TextTest {};

struct SearchCase {
  const char* name;
  std::int32_t start;
  String source;
  String find;
  std::int32_t inStr;
  std::int32_t inStrB;
};

TEST_F(StringSearchTest, FindsByCharacterAndByByte) {
  const SearchCase cases[] = {
      {"other case", 1, "abcABC", "C", 3, 6},
      {"empty find", 5, "abc", String(), 5, 5},
      {"empty find before the start", -2, "abc", String(), -2, -2},
      {"empty source", 1, String(), "a", 0, 0},
      {"start below 1", -7, "abc", "b", 2, 2},
      {"start at the match", 2, "abcb", "b", 2, 2},
      {"start after the match", 3, "abcb", "b", 4, 4},
      {"start beyond the end", 4, "abc", "c", 0, 0},
      {"find longer than the rest", 2, "abc", "abc", 0, 0},
      {"no match", 1, "abc", "abd", 0, 0},
      {"match at the end", 1, "xxxxAbc", "aBC", 5, 0},
      {"UTF-8 positions", 1, "\xC3\xA7" "a\xC3\xA9" "x\xC3\x89", "\xC3\x89", 3, 7},
      {"UTF-8 start", 4, "\xC3\xA7" "a\xC3\xA9" "x\xC3\x89", "\xC3\xA9", 5, 4},
      {"mu is not capital mu", 1, "a\xCE\x9C", "\xCE\xBC", 0, 0},
      {"UTF-16 source", 1, utf16(u"abcABC"), "C", 3, 11},
      {"UTF-16 both", 2, utf16(u"abcABC"), utf16(u"B"), 2, 9},
      {"UTF-32 units", 1, utf32(U"aXbC"), ascii("c"), 4, 0},
      {"UTF-32 both", 1, utf32(U"AB"), utf32(U"b"), 2, 0},
      {"byte text folds ASCII only", 1, String::bytes("a\x8E", 0), String::bytes("\x83", 0), 0, 0},
      {"byte text", 1, ascii("Hello"), ascii("LL"), 3, 0},
  };
  for (const SearchCase& c : cases) {
    EXPECT_EQ(StringInStr(c.start, c.source.get(), c.find.get()), c.inStr) << c.name;
    EXPECT_EQ(StringInStrB(c.start, c.source.get(), c.find.get()), c.inStrB) << c.name;
  }
}

TEST_F(StringSearchTest, SearchInOneEncodingNeedsNoAllocation) {
  const String source = "the quick brown fox";
  const String upper = ascii("BROWN");
  const String lower = ascii("brown");
  const auto before = rt::memory::bytesInUse();
  EXPECT_EQ(StringInStr(1, source.get(), upper.get()), 11);
  EXPECT_EQ(StringInStrB(1, source.get(), lower.get()), 11);
  EXPECT_EQ(rt::memory::bytesInUse(), before);
}

std::int32_t naiveFind(const std::string& source, const std::string& find, std::int32_t start) {
  const std::size_t from = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
  if (from >= source.size()) return 0;
  const std::size_t at = source.find(find, from);
  return at == std::string::npos ? 0 : static_cast<std::int32_t>(at) + 1;
}

// Long finds in long texts take the skipping search; it must agree with a
// plain scan at every start, over texts rich in near misses.
TEST_F(StringSearchTest, SkippingSearchFindsTheFirstMatch) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    const auto letter = [&] { return static_cast<char>('a' + random() % 3); };
    std::string source(100 + random() % 300, ' ');
    for (char& c : source) c = letter();
    std::string find(5 + random() % 6, ' ');
    for (char& c : find) c = letter();
    if (round % 2 == 0) source.replace(source.size() - find.size(), find.size(), find);
    const String s = ascii(source);
    const String f = ascii(find);
    for (std::int32_t start : {1, 2, 17, 90, static_cast<std::int32_t>(source.size()) - 90}) {
      ASSERT_EQ(StringInStrB(start, s.get(), f.get()), naiveFind(source, find, start))
          << "round " << round << ", start " << start << ", find " << find;
    }
  }
}

TEST_F(StringSearchTest, SkippingSearchHandlesEveryByteValue) {
  std::string source(400, '\0');
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>(255 - i % 256);
  const std::string find = source.substr(300, 7);
  const String s = String::bytes(source, kEncodingUnknown);
  EXPECT_EQ(StringInStrB(1, s.get(), String::bytes(find, kEncodingUnknown).get()), 45);
  EXPECT_EQ(StringInStrB(46, s.get(), String::bytes(find, kEncodingUnknown).get()), 301);
  EXPECT_EQ(StringInStrB(302, s.get(), String::bytes(find, kEncodingUnknown).get()), 0);
}

}  // namespace
