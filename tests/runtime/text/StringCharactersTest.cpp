#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "text/StringFunctionsApi.h"
#include "TextTest.h"

namespace {

using rt::String;
using namespace rt::test;

class StringCharactersTest : public TextTest {};

using Slice = std::function<RTString(RTString)>;

struct SliceCase {
  const char* name;
  Slice slice;
  std::string bytes;
  bool shared = false;  // the result is the argument itself
};

void expectSlices(const String& s, std::initializer_list<SliceCase> cases) {
  for (const SliceCase& c : cases) {
    const String result = String::adopt(c.slice(s.get()));
    EXPECT_EQ(result.str(), c.bytes) << c.name;
    EXPECT_EQ(result.get() == s.get(), c.shared) << c.name;
    if (!result.empty() && !c.shared) {
      EXPECT_EQ(result.encoding(), s.encoding()) << c.name;
      EXPECT_EQ(result->capacity, result->length + 2) << c.name;
    }
  }
}

TEST_F(StringCharactersTest, SlicesByteText) {
  expectSlices(ascii("abc"), {
      {"Left beyond the end", [](RTString s) { return StringDBCSLeft(s, 5); }, "abc", true},
      {"Left of all", [](RTString s) { return StringDBCSLeft(s, 3); }, "abc", true},
      {"Left 0", [](RTString s) { return StringDBCSLeft(s, 0); }, ""},
      {"Left -1", [](RTString s) { return StringDBCSLeft(s, -1); }, ""},
      {"Left 2", [](RTString s) { return StringDBCSLeft(s, 2); }, "ab"},
      {"Right 2", [](RTString s) { return StringDBCSRight(s, 2); }, "bc"},
      {"Right 9", [](RTString s) { return StringDBCSRight(s, 9); }, "abc", true},
      {"Mid from 0", [](RTString s) { return StringDBCSMid3(s, 0, 3); }, "ab"},
      {"Mid from -1", [](RTString s) { return StringDBCSMid3(s, -1, 3); }, "a"},
      {"Mid beyond the end", [](RTString s) { return StringDBCSMid3(s, 4, 1); }, ""},
      {"Mid of all", [](RTString s) { return StringDBCSMid3(s, 1, 3); }, "abc", true},
      {"Mid past the end", [](RTString s) { return StringDBCSMid3(s, 2, 99); }, "bc"},
      {"Mid count 0", [](RTString s) { return StringDBCSMid3(s, 1, 0); }, ""},
      {"Mid to the end", [](RTString s) { return StringDBCSMid2(s, 2); }, "bc"},
      {"Mid to the end from 0", [](RTString s) { return StringDBCSMid2(s, 0); }, "abc", true},
      {"Mid to the end past it", [](RTString s) { return StringDBCSMid2(s, 4); }, ""},
  });
}

// Four letters, the second of two bytes.
TEST_F(StringCharactersTest, CountsCodePointsInUtf8) {
  const String s = "c\xC3\xA9te";
  EXPECT_EQ(StringDBCSLen(s.get()), 4);
  EXPECT_EQ(StringLen(s.get()), 5);
  EXPECT_EQ(StringDBCSAsc(String::adopt(StringDBCSMid2(s.get(), 2)).get()), 0xE9);
  EXPECT_EQ(StringAsc(String::adopt(StringDBCSMid2(s.get(), 2)).get()), 0xC3);
  expectSlices(s, {
      {"Left 2", [](RTString t) { return StringDBCSLeft(t, 2); }, "c\xC3\xA9"},
      {"Left 4", [](RTString t) { return StringDBCSLeft(t, 4); }, "c\xC3\xA9te", true},
      {"Right 3", [](RTString t) { return StringDBCSRight(t, 3); }, "\xC3\xA9te"},
      {"Right 4", [](RTString t) { return StringDBCSRight(t, 4); }, "c\xC3\xA9te", true},
      {"Mid 2, 1", [](RTString t) { return StringDBCSMid3(t, 2, 1); }, "\xC3\xA9"},
      {"Mid 0, 3", [](RTString t) { return StringDBCSMid3(t, 0, 3); }, "c\xC3\xA9"},
      {"Mid 3 on", [](RTString t) { return StringDBCSMid2(t, 3); }, "te"},
      {"Mid 5 on", [](RTString t) { return StringDBCSMid2(t, 5); }, ""},
      {"byte Left 2", [](RTString t) { return StringLeft(t, 2); }, "c\xC3"},
      {"byte Right 1", [](RTString t) { return StringRight(t, 1); }, "e"},
      {"byte Mid 0, 3", [](RTString t) { return StringMid3(t, 0, 3); }, "c\xC3"},
      {"byte Mid 3 on", [](RTString t) { return StringMid2(t, 3); }, "\xA9te"},
  });
}

TEST_F(StringCharactersTest, StrayContinuationBytesBelongToThePreviousCharacter) {
  const String s = "a\xA9\xA9" "b";
  EXPECT_EQ(StringDBCSLen(s.get()), 2);
  EXPECT_EQ(String::adopt(StringDBCSLeft(s.get(), 1)).str(), "a\xA9\xA9");
  EXPECT_EQ(String::adopt(StringDBCSRight(s.get(), 1)).str(), "b");
}

TEST_F(StringCharactersTest, CountsUnitsInWideText) {
  const String s16 = utf16(u"ab\u00E9");
  EXPECT_EQ(StringDBCSLen(s16.get()), 3);
  EXPECT_EQ(StringDBCSAsc(String::adopt(StringDBCSRight(s16.get(), 1)).get()), 0xE9);
  expectSlices(s16, {
      {"Left 2", [](RTString t) { return StringDBCSLeft(t, 2); }, wideBytes(u"ab")},
      {"Mid 2, 1", [](RTString t) { return StringDBCSMid3(t, 2, 1); }, wideBytes(u"b")},
      {"Mid 3 on", [](RTString t) { return StringDBCSMid2(t, 3); }, wideBytes(u"\u00E9")},
  });
  const String s32 = utf32(U"ab\U0001F600");
  EXPECT_EQ(StringDBCSLen(s32.get()), 3);
  EXPECT_EQ(StringDBCSAsc(String::adopt(StringDBCSMid2(s32.get(), 3)).get()), 0x1F600);
  expectSlices(s32, {
      {"Left 1", [](RTString t) { return StringDBCSLeft(t, 1); }, wideBytes(U"a")},
      {"Right 2", [](RTString t) { return StringDBCSRight(t, 2); }, wideBytes(U"b\U0001F600")},
      {"Mid 0, 2", [](RTString t) { return StringDBCSMid3(t, 0, 2); }, wideBytes(U"a")},
  });
}

TEST_F(StringCharactersTest, SlicesOfLongStringsKeepTheLengthByteAt255) {
  const String s = ascii(std::string(300, 'x'));
  const String left = String::adopt(StringDBCSLeft(s.get(), 299));
  EXPECT_EQ(left->length, 299u);
  EXPECT_EQ(left->lengthByte, 255);
  const String right = String::adopt(StringRight(s.get(), 200));
  EXPECT_EQ(right->lengthByte, 200);
}

TEST_F(StringCharactersTest, EmptyStringGivesEmptyResults) {
  EXPECT_EQ(StringDBCSLeft(nullptr, 3), nullptr);
  EXPECT_EQ(StringDBCSRight(nullptr, 3), nullptr);
  EXPECT_EQ(StringDBCSMid3(nullptr, 1, 3), nullptr);
  EXPECT_EQ(StringDBCSMid2(nullptr, 1), nullptr);
  EXPECT_EQ(StringMid3(nullptr, 1, 3), nullptr);
  EXPECT_EQ(StringDBCSLen(nullptr), 0);
  EXPECT_EQ(StringDBCSAsc(nullptr), 0);
  EXPECT_EQ(StringAsc(nullptr), 0);
}

struct ChrCase {
  std::int32_t code;
  bool byteForm;
  std::string bytes;
  std::uint32_t encoding;
};

TEST_F(StringCharactersTest, ChrMakesRawBytes) {
  const ChrCase cases[] = {
      {65, false, "A", kEncodingASCII},
      {0, false, std::string(1, '\0'), kEncodingASCII},
      {200, false, "\xC8", kEncodingUnknown},
      {16706, false, "AB", kEncodingUnknown},
      {-1, false, "\xFF", kEncodingUnknown},
      {65, true, "A", kEncodingASCII},
      {200, true, "\xC8", kEncodingUnknown},
      {0x141, true, "A", kEncodingUnknown},
  };
  for (const ChrCase& c : cases) {
    const String s = String::adopt(c.byteForm ? StringChr(c.code) : StringDBCSChr(c.code));
    EXPECT_EQ(s.str(), c.bytes) << c.code << (c.byteForm ? " (bytes)" : "");
    EXPECT_EQ(s.encoding(), c.encoding) << c.code << (c.byteForm ? " (bytes)" : "");
  }
}

}  // namespace
