#include <gtest/gtest.h>
#include <strings.h>

#include <string>

#include "TextTest.h"
#include "text/SmallBlockAllocator.h"
#include "text/StringCompare.h"

namespace {

using rt::String;
using namespace rt::test;

class StringCompareTest : public TextTest {};

int sign(int value) { return (value > 0) - (value < 0); }

TEST_F(StringCompareTest, ComparesIgnoringCase) {
  const struct {
    const char* name;
    String a;
    String b;
    int sign;
  } cases[] = {
      {"empty with empty", String(), String(), 0},
      {"empty first", String(), String("a"), -1},
      {"other case", String("help"), String("HELP"), 0},
      {"differing letter", String("abc"), String("ABD"), -1},
      {"prefix first", String("ab"), String("abc"), -1},
      {"UTF-8 with ASCII", String("quit"), ascii("QUIT"), 0},
      {"ASCII-tagged bytes read as UTF-8", ascii("\xC3\xA9"), String("\xC3\x89"), 0},
      {"accented", String("\xC3\xA9t\xC3\xA9"), String("\xC3\x89T\xC3\x89"), 0},
      {"mu folds to the micro sign", String("\xCE\xBC"), String("\xCE\x9C"), -1},
      {"iota folds to U+0345", String("\xCE\xB9"), String("\xCE\x99"), -1},
      {"UTF-16 with UTF-8", utf16(u"ab"), String("AB"), 0},
      {"UTF-16 with ASCII", utf16(u"ab"), ascii("AB"), 0},
      {"UTF-32 units", utf32(U"AB"), utf32(U"AC"), -1},
      {"UTF-32 folded", utf32(U"\u00E9a"), utf32(U"\u00C9A"), 0},
      {"UTF-32 shorter first", utf32(U"ab"), utf32(U"ABC"), -1},
      {"UTF-32 with ASCII", utf32(U"ab"), ascii("AB"), 0},
      {"Latin-1 with UTF-8", String::bytes("\xE9", 513), String("\xC3\x89"), 0},
      {"wide with unknown bytes", utf32(U"AB"), String::bytes(wideBytes(U"AC"), kEncodingUnknown),
       -1},
      {"Mac Roman, unequal lengths", String::bytes("\x8E", 0), String::bytes("\x83x", 0), -1},
      {"dotless i", String::bytes("\xF5", 0), String::bytes("ix", 0), -1},
      {"300 bytes", ascii(std::string(300, 'a')), ascii(std::string(299, 'A') + "B"), -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sign(compare(c.a, c.b)), c.sign) << c.name;
    EXPECT_EQ(sign(compare(c.b, c.a)), -c.sign) << c.name << ", reversed";
  }
}

TEST_F(StringCompareTest, EqualLengthBytesGoToStrncasecmp) {
  EXPECT_EQ(compare(ascii(std::string("a\0b", 3)), ascii(std::string("A\0c", 3))), 0)
      << "the comparison stops at a zero byte";
  EXPECT_EQ(compare(ascii("a"), ascii("c")), strncasecmp("a", "c", 1));
  EXPECT_NE(compare(String::bytes("\x8E", 0), String::bytes("\x83", 0)), 0);
}

TEST_F(StringCompareTest, EqualEncodingsNeedNoAllocation) {
  const String a = "connect";
  const String b = ascii("CONNECT");
  const String c = utf16(u"connect");
  const auto before = rt::memory::bytesInUse();
  EXPECT_EQ(compare(a, b), 0);
  EXPECT_EQ(compare(b, a), 0);
  EXPECT_EQ(compare(c, c), 0);
  EXPECT_EQ(rt::memory::bytesInUse(), before);
}

TEST_F(StringCompareTest, JoinsInTheCommonEncoding) {
  const struct {
    String left;
    String right;
    std::string bytes;
    std::uint32_t encoding;
  } cases[] = {
      {ascii("K"), String("\xC3\xA9"), "K\xC3\xA9", kEncodingUTF8},
      {utf16(u"ab"), String("c"), "abc", kEncodingUTF8},
      {utf16(u"ab"), ascii("c"), wideBytes(u"abc"), kEncodingUTF16},
      {ascii("ab"), utf32(U"c"), wideBytes(U"abc"), kEncodingUTF32},
      {String::bytes("\x8E", 0), String("x"), "\xC3\xA9x", kEncodingUTF8},
      {String::bytes("\xE9", kEncodingUnknown), String("\xC3\xA9"), "\xE9\xC3\xA9",
       kEncodingUnknown},
  };
  for (const auto& c : cases) {
    const String joined = c.left + c.right;
    EXPECT_EQ(joined.str(), c.bytes);
    EXPECT_EQ(joined.encoding(), c.encoding) << c.bytes;
  }
}

TEST_F(StringCompareTest, JoinShapesTheBlockOrSharesAnOperand) {
  const String joined = String("K1") + String(".bin");
  EXPECT_EQ(joined.str(), "K1.bin");
  EXPECT_EQ(joined->lengthByte, 6);
  EXPECT_EQ(joined->capacity, 8u);
  EXPECT_EQ(joined.encoding(), kEncodingUTF8);
  const String long300 = ascii(std::string(150, 'x')) + ascii(std::string(150, 'y'));
  EXPECT_EQ(long300->length, 300u);
  EXPECT_EQ(long300->lengthByte, 255);
  EXPECT_EQ(long300->capacity, 302u);

  const String letter = ascii("a");
  const String shared = String() + letter;
  EXPECT_EQ(shared.get(), letter.get());
  EXPECT_EQ((letter + String()).get(), letter.get());
  EXPECT_EQ(refCount(letter), 2u);
}

}  // namespace
