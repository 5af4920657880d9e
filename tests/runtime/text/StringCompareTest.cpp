#include "text/StringCompare.h"

#include <gtest/gtest.h>

#include <string>
#include <strings.h>

#include "text/SmallBlockAllocator.h"
#include "TextTest.h"

namespace {

using rt::String;
using namespace rt::test;

class StringCompareTest : public TextTest {};

int sign(int value) { return (value > 0) - (value < 0); }

struct CompareCase {
  const char* name;
  String a;
  String b;
  int expected;  // the sign
};

TEST_F(StringCompareTest, ComparesIgnoringCase) {
  const CompareCase cases[] = {
      {"empty with empty", String(), String(), 0},
      {"empty first", String(), String("a"), -1},
      {"empty second", String("a"), String(), 1},
      {"other case", String("help"), String("HELP"), 0},
      {"differing letter", String("abc"), String("ABD"), -1},
      {"prefix first", String("ab"), String("abc"), -1},
      {"UTF-8 with ASCII", String("quit"), ascii("QUIT"), 0},
      {"accented", String("\xC3\xA9t\xC3\xA9"), String("\xC3\x89T\xC3\x89"), 0},
      {"sigma", String("\xCF\x83"), String("\xCE\xA3"), 0},
      {"mu folds to the micro sign", String("\xCE\xBC"), String("\xCE\x9C"), -1},
      {"iota folds to U+0345", String("\xCE\xB9"), String("\xCE\x99"), -1},
      {"code point order", String("\xC3\xA9"), String("z"), 1},
      {"UTF-16 with UTF-8", utf16(u"ab"), String("AB"), 0},
      {"UTF-16 with ASCII", utf16(u"ab"), ascii("AB"), 0},
      {"UTF-16 accented", utf16(u"\u00E9"), String("\xC3\x89"), 0},
      {"UTF-16 units", utf16(u"ab"), utf16(u"AC"), -1},
      {"UTF-16 shorter first", utf16(u"AB"), utf16(u"abc"), -1},
      {"UTF-32 units", utf32(U"AB"), utf32(U"AC"), -1},
      {"UTF-32 folded", utf32(U"\u00E9a"), utf32(U"\u00C9A"), 0},
      {"UTF-32 shorter first", utf32(U"ab"), utf32(U"ABC"), -1},
      {"UTF-32 with ASCII", utf32(U"ab"), ascii("AB"), 0},
      {"UTF-32 with UTF-8", utf32(U"ab"), String("AC"), -1},
      {"UTF-32 with UTF-16", utf32(U"ab"), utf16(u"AB"), 0},
      {"Latin-1 with UTF-8", String::bytes("\xE9", 513), String("\xC3\x89"), 0},
      {"unknown with UTF-8", String::bytes("abc", kEncodingUnknown), String("ABC"), 0},
      {"wide with unknown bytes", utf32(U"AB"), String::bytes(wideBytes(U"AC"), kEncodingUnknown), -1},
      {"bytes of unequal length", ascii("abc"), ascii("ABCD"), -1},
      {"Mac Roman capitals", String::bytes("\x8E", 0), String::bytes("\x83x", 0), -1},
      {"dotless i", String::bytes("\xF5", 0), String::bytes("ix", 0), -1},
      {"300 bytes", ascii(std::string(300, 'a')), ascii(std::string(299, 'A') + "B"), -1},
  };
  for (const CompareCase& c : cases) {
    EXPECT_EQ(sign(compare(c.a, c.b)), c.expected) << c.name;
    EXPECT_EQ(sign(compare(c.b, c.a)), -c.expected) << c.name << ", reversed";
  }
}

TEST_F(StringCompareTest, EqualLengthBytesGoToStrncasecmp) {
  const String a = ascii(std::string("a\0b", 3));
  const String b = ascii(std::string("A\0c", 3));
  EXPECT_EQ(compare(a, b), 0) << "the comparison stops at the zero byte";
  EXPECT_EQ(compare(ascii("a"), ascii("c")), strncasecmp("a", "c", 1));
  EXPECT_NE(compare(String::bytes("\x8E", 0), String::bytes("\x83", 0)), 0)
      << "only unequal lengths fold Mac Roman letters";
}

TEST_F(StringCompareTest, SamePointerIsEqualWithoutLooking) {
  const String s = String::bytes("\xFF\xFE", 3);
  EXPECT_EQ(RuntimeStringCompare(s.get(), s.get()), 0);
}

TEST_F(StringCompareTest, EqualEncodingsNeedNoAllocation) {
  const String a = "connect";
  const String b = ascii("CONNECT");
  const String c = utf16(u"connect");
  const String d = utf16(u"CONNECT");
  const auto before = rt::memory::bytesInUse();
  EXPECT_EQ(compare(a, b), 0);
  EXPECT_EQ(compare(c, d), 0);
  EXPECT_EQ(rt::memory::bytesInUse(), before);
}

struct JoinCase {
  const char* name;
  String left;
  String right;
  std::string bytes;
  std::uint32_t encoding;
};

TEST_F(StringCompareTest, JoinsInTheCommonEncoding) {
  const JoinCase cases[] = {
      {"constants", String("K1"), String(".bin"), "K1.bin", kEncodingUTF8},
      {"ASCII and UTF-8", ascii("K"), String("\xC3\xA9"), "K\xC3\xA9", kEncodingUTF8},
      {"UTF-16 and UTF-8", utf16(u"ab"), String("c"), "abc", kEncodingUTF8},
      {"UTF-16 and ASCII", utf16(u"ab"), ascii("c"), wideBytes(u"abc"), kEncodingUTF16},
      {"ASCII and UTF-32", ascii("ab"), utf32(U"c"), wideBytes(U"abc"), kEncodingUTF32},
      {"UTF-32 and ASCII", utf32(U"a"), ascii("bc"), wideBytes(U"abc"), kEncodingUTF32},
      {"Latin-1 and UTF-8", String::bytes("caf\xE9", 513), String("!"), "caf\xC3\xA9!", kEncodingUTF8},
      {"Mac Roman and UTF-8", String::bytes("\x8E", 0), String("x"), "\xC3\xA9x", kEncodingUTF8},
      {"unknown stays as it is", String::bytes("\xE9", kEncodingUnknown), String("\xC3\xA9"),
       "\xE9\xC3\xA9", kEncodingUnknown},
  };
  for (const JoinCase& c : cases) {
    const String joined = c.left + c.right;
    EXPECT_EQ(joined.str(), c.bytes) << c.name;
    EXPECT_EQ(joined.encoding(), c.encoding) << c.name;
  }
}

TEST_F(StringCompareTest, JoinShapesTheBlock) {
  const String joined = String("K1") + String(".bin");
  EXPECT_EQ(joined->length, 6u);
  EXPECT_EQ(joined->lengthByte, 6);
  EXPECT_EQ(joined->capacity, 8u);
  EXPECT_EQ(joined->text[6], '\0');

  const String long300 = ascii(std::string(150, 'x')) + ascii(std::string(150, 'y'));
  EXPECT_EQ(long300->length, 300u);
  EXPECT_EQ(long300->lengthByte, 255);
  EXPECT_EQ(long300->capacity, 302u);
}

TEST_F(StringCompareTest, JoinWithTheEmptyStringSharesTheOther) {
  const String letter = ascii("a");
  EXPECT_EQ((String() + letter).get(), letter.get());
  EXPECT_EQ((letter + String()).get(), letter.get());
  const String joined = String() + letter;
  EXPECT_EQ(refCount(letter), 2u);
  EXPECT_TRUE((String() + String()).empty());
}

}  // namespace
