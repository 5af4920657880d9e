#include <gtest/gtest.h>

#include <string>

#include "text/StringFunctionsApi.h"
#include "TextTest.h"

namespace {

using rt::String;
using namespace rt::test;

class StringTrimTest : public TextTest {};

constexpr std::uint32_t kLatin1 = 513;

struct TrimCase {
  const char* name;
  String s;
  std::string both;
  std::string leading;
  std::string trailing;
};

TEST_F(StringTrimTest, TrimsTheWhiteSpaceOfEachEncoding) {
  const TrimCase cases[] = {
      {"ASCII", ascii(" \tab c\r\n"), "ab c", "ab c\r\n", " \tab c"},
      {"bytes above 0x7F are no space", ascii("\xA0x\x85"), "\xA0x\x85", "\xA0x\x85", "\xA0x\x85"},
      {"UTF-8", String("\xE3\x80\x80 a\xC2\xA0\xE2\x80\xAF"), "a", "a\xC2\xA0\xE2\x80\xAF",
       "\xE3\x80\x80 a"},
      {"UTF-8 letters stay", String("\xC3\xA9 \xC3\xA9"), "\xC3\xA9 \xC3\xA9", "\xC3\xA9 \xC3\xA9",
       "\xC3\xA9 \xC3\xA9"},
      {"UTF-16", utf16(u"\u2003ab\u0085"), wideBytes(u"ab"), wideBytes(u"ab\u0085"), wideBytes(u"\u2003ab")},
      {"UTF-32", utf32(U" ab\u3000"), wideBytes(U"ab"), wideBytes(U"ab\u3000"), wideBytes(U" ab")},
      {"unknown", String::bytes(" ab\v", kEncodingUnknown), "ab", "ab\v", " ab"},
      {"Latin-1", String::bytes("\xA0" "ab ", kLatin1), "ab", "ab ", "\xA0" "ab"},
      {"Mac Roman", String::bytes("\xCA\x8E\xCA", kEncodingMacRoman), "\x8E", "\x8E\xCA", "\xCA\x8E"},
      {"untranscodable", String::bytes(" \xE9 ", 3), "\xE9", "\xE9 ", " \xE9"},
  };
  for (const TrimCase& c : cases) {
    const String both = String::adopt(runTrim(c.s.get()));
    const String leading = String::adopt(runLTrim(c.s.get()));
    const String trailing = String::adopt(runRTrim(c.s.get()));
    EXPECT_EQ(both.str(), c.both) << c.name;
    EXPECT_EQ(leading.str(), c.leading) << c.name;
    EXPECT_EQ(trailing.str(), c.trailing) << c.name;
    EXPECT_EQ(both.encoding(), c.s.encoding()) << c.name;
  }
}

TEST_F(StringTrimTest, ReturnsTheSameBlockWhenNothingIsTrimmed) {
  for (const String& s : {ascii("abc"), String("x y"), utf16(u"ab"), utf32(U"ab"),
                          String::bytes("ab", kLatin1), String::bytes("\xE9", 3)}) {
    EXPECT_EQ(String::adopt(runTrim(s.get())).get(), s.get()) << s.encoding();
    EXPECT_EQ(String::adopt(runLTrim(s.get())).get(), s.get()) << s.encoding();
    EXPECT_EQ(String::adopt(runRTrim(s.get())).get(), s.get()) << s.encoding();
  }
}

TEST_F(StringTrimTest, WhiteSpaceOnlyGivesTheEmptyString) {
  for (const String& s : {ascii("\t  \n"), String("\xE2\x80\xA8"), utf16(u" \u3000"), utf32(U"\t"),
                          String::bytes("\xA0", kLatin1)}) {
    EXPECT_TRUE(String::adopt(runTrim(s.get())).empty()) << s.encoding();
    EXPECT_TRUE(String::adopt(runLTrim(s.get())).empty()) << s.encoding();
    EXPECT_TRUE(String::adopt(runRTrim(s.get())).empty()) << s.encoding();
  }
  EXPECT_EQ(runTrim(nullptr), nullptr);
}

}  // namespace
