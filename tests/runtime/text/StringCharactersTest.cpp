#include <gtest/gtest.h>

#include <string>

#include "TextTest.h"
#include "text/StringFunctionsApi.h"

namespace {

using rt::String;
using namespace rt::test;

class StringCharactersTest : public TextTest {};

// A slicing entry point under its name; b is the length, for the Mid3 ones only.
struct Op {
  const char* name;
  RTString (*run)(RTString s, int a, int b);
};
const Op L{"StringDBCSLeft", [](RTString s, int a, int) { return StringDBCSLeft(s, a); }};
const Op R{"StringDBCSRight", [](RTString s, int a, int) { return StringDBCSRight(s, a); }};
const Op M{"StringDBCSMid3", [](RTString s, int a, int b) { return StringDBCSMid3(s, a, b); }};
const Op M2{"StringDBCSMid2", [](RTString s, int a, int) { return StringDBCSMid2(s, a); }};
const Op BL{"StringLeft", [](RTString s, int a, int) { return StringLeft(s, a); }};
const Op BR{"StringRight", [](RTString s, int a, int) { return StringRight(s, a); }};
const Op BM{"StringMid3", [](RTString s, int a, int b) { return StringMid3(s, a, b); }};
const Op BM2{"StringMid2", [](RTString s, int a, int) { return StringMid2(s, a); }};

struct SliceCase {
  Op op;
  int a;
  int b;
  std::string bytes;
  bool shared = false;  // the result is the argument itself
};

void expectSlices(const String& s, std::initializer_list<SliceCase> cases) {
  for (const SliceCase& c : cases) {
    const String result = String::adopt(c.op.run(s.get(), c.a, c.b));
    SCOPED_TRACE(testing::Message() << c.op.name << "(" << c.a << ", " << c.b << ")");
    EXPECT_EQ(result.str(), c.bytes);
    EXPECT_EQ(result.get() == s.get(), c.shared);
    if (!result.empty()) {
      EXPECT_EQ(result.encoding(), s.encoding());
    }
  }
}

TEST_F(StringCharactersTest, SlicesByteText) {
  expectSlices(ascii("abc"), {{L, 5, 0, "abc", true},
                              {L, 3, 0, "abc", true},
                              {L, 0, 0, ""},
                              {L, -1, 0, ""},
                              {L, 2, 0, "ab"},
                              {R, 2, 0, "bc"},
                              {R, 9, 0, "abc", true},
                              {M, 0, 3, "ab"},
                              {M, -1, 3, "a"},
                              {M, 4, 1, ""},
                              {M, 1, 3, "abc", true},
                              {M, 2, 99, "bc"},
                              {M, 1, 0, ""},
                              {M2, 2, 0, "bc"},
                              {M2, 0, 0, "abc", true},
                              {M2, 4, 0, ""}});
}

// Four letters, the second of two bytes.
TEST_F(StringCharactersTest, CountsCodePointsInUtf8) {
  const String s = "c\xC3\xA9te";
  EXPECT_EQ(StringDBCSLen(s.get()), 4);
  EXPECT_EQ(StringLen(s.get()), 5);
  EXPECT_EQ(StringDBCSAsc(String::adopt(StringDBCSMid2(s.get(), 2)).get()), 0xE9);
  EXPECT_EQ(StringAsc(String::adopt(StringDBCSMid2(s.get(), 2)).get()), 0xC3);
  expectSlices(s, {{L, 2, 0, "c\xC3\xA9"},
                   {L, 4, 0, "c\xC3\xA9te", true},
                   {R, 3, 0, "\xC3\xA9te"},
                   {M, 2, 1, "\xC3\xA9"},
                   {M, 0, 3, "c\xC3\xA9"},
                   {M2, 3, 0, "te"},
                   {M2, 5, 0, ""},
                   {BL, 2, 0, "c\xC3"},
                   {BR, 1, 0, "e"},
                   {BM, 0, 3, "c\xC3"},
                   {BM2, 3, 0, "\xA9te"}});
  // A stray continuation byte belongs to the character before it.
  expectSlices(String("a\xA9\xA9z"), {{L, 1, 0, "a\xA9\xA9"}, {R, 1, 0, "z"}});
  // At the start there is none before it: it goes with the first character,
  // as Len counts it, so Len characters are the whole text.
  const String stray("\xA9xy");
  EXPECT_EQ(StringDBCSLen(stray.get()), 2);
  expectSlices(stray, {{L, 1, 0, "\xA9x"},
                       {L, 2, 0, "\xA9xy", true},
                       {M, 2, 1, "y"},
                       {M2, 2, 0, "y"},
                       {R, 2, 0, "\xA9xy", true}});
}

TEST_F(StringCharactersTest, CountsUnitsInWideText) {
  const String s16 = utf16(u"ab\u00E9");
  EXPECT_EQ(StringDBCSLen(s16.get()), 3);
  EXPECT_EQ(StringDBCSAsc(String::adopt(StringDBCSRight(s16.get(), 1)).get()), 0xE9);
  expectSlices(
      s16,
      {{L, 2, 0, wideBytes(u"ab")}, {M, 2, 1, wideBytes(u"b")}, {M2, 3, 0, wideBytes(u"\u00E9")}});
  const String s32 = utf32(U"ab\U0001F600");
  EXPECT_EQ(StringDBCSLen(s32.get()), 3);
  EXPECT_EQ(StringDBCSAsc(String::adopt(StringDBCSMid2(s32.get(), 3)).get()), 0x1F600);
  expectSlices(s32, {{L, 1, 0, wideBytes(U"a")},
                     {R, 2, 0, wideBytes(U"b\U0001F600")},
                     {M, 0, 2, wideBytes(U"a")}});
}

TEST_F(StringCharactersTest, LongSlicesKeepTheLengthByteAt255) {
  const String left = String::adopt(StringDBCSLeft(ascii(std::string(300, 'x')).get(), 299));
  EXPECT_EQ(left->length, 299u);
  EXPECT_EQ(left->lengthByte, 255);
  EXPECT_EQ(left->capacity, 301u);
  EXPECT_EQ(StringDBCSLeft(nullptr, 3), nullptr);
  EXPECT_EQ(StringDBCSAsc(nullptr), 0);
}

TEST_F(StringCharactersTest, ChrMakesRawBytes) {
  const struct {
    RTString made;
    std::string bytes;
    std::uint32_t encoding;
  } cases[] = {
      {StringDBCSChr(65), "A", kEncodingASCII},
      {StringDBCSChr(200), "\xC8", kEncodingUnknown},
      {StringDBCSChr(16706), "AB", kEncodingUnknown},
      {StringDBCSChr(-1), "\xFF", kEncodingUnknown},
      {StringChr(65), "A", kEncodingASCII},
      {StringChr(0x141), "A", kEncodingUnknown},
  };
  for (const auto& c : cases) {
    const String s = String::adopt(c.made);
    EXPECT_EQ(s.str(), c.bytes);
    EXPECT_EQ(s.encoding(), c.encoding) << c.bytes;
  }
}

}  // namespace
