#include <gtest/gtest.h>

#include <string>

#include "TextTest.h"
#include "text/StringFunctionsApi.h"

namespace {

using rt::String;
using namespace rt::test;

class StringTrimTest : public TextTest {};

TEST_F(StringTrimTest, TrimsTheWhiteSpaceOfEachEncoding) {
  const struct {
    String s;
    std::string both;
    std::string leading;
    std::string trailing;
  } cases[] = {
      {ascii(" \tab c\r\n"), "ab c", "ab c\r\n", " \tab c"},
      {ascii("\xA0x\x85"), "\xA0x\x85", "\xA0x\x85", "\xA0x\x85"},  // bytes, not U+00A0
      {String("\xE3\x80\x80 a\xC2\xA0\xE2\x80\xAF"), "a", "a\xC2\xA0\xE2\x80\xAF",
       "\xE3\x80\x80 a"},
      {utf16(u"\u2003ab\u0085"), wideBytes(u"ab"), wideBytes(u"ab\u0085"), wideBytes(u"\u2003ab")},
      {utf32(U" ab\u3000"), wideBytes(U"ab"), wideBytes(U"ab\u3000"), wideBytes(U" ab")},
      {String::bytes(" ab\v", kEncodingUnknown), "ab", "ab\v", " ab"},
      {String::bytes("\xA0xy ", 513), "xy", "xy ", "\xA0xy"},  // Latin-1 no-break space
      {String::bytes("\xCA\x8E\xCA", kEncodingMacRoman), "\x8E", "\x8E\xCA", "\xCA\x8E"},
      {String::bytes(" \xE9 ", 3), "\xE9", "\xE9 ", " \xE9"},  // 3 cannot be transcoded
  };
  for (const auto& c : cases) {
    const String both = String::adopt(runTrim(c.s.get()));
    EXPECT_EQ(both.str(), c.both);
    EXPECT_EQ(both.encoding(), c.s.encoding()) << c.both;
    EXPECT_EQ(String::adopt(runLTrim(c.s.get())).str(), c.leading);
    EXPECT_EQ(String::adopt(runRTrim(c.s.get())).str(), c.trailing);
  }
}

TEST_F(StringTrimTest, SharesUntrimmedTextAndEmptiesWhiteSpace) {
  for (const String& s : {ascii("abc"), String("x y"), utf16(u"ab"), utf32(U"ab"),
                          String::bytes("ab", 513), String::bytes("\xE9", 3)}) {
    EXPECT_EQ(String::adopt(runTrim(s.get())).get(), s.get()) << s.encoding();
    EXPECT_EQ(String::adopt(runLTrim(s.get())).get(), s.get()) << s.encoding();
  }
  for (const String& s :
       {ascii("\t  \n"), String("\xE2\x80\xA8"), utf16(u" \u3000"), String::bytes("\xA0", 513)}) {
    EXPECT_TRUE(String::adopt(runTrim(s.get())).empty()) << s.encoding();
    EXPECT_TRUE(String::adopt(runRTrim(s.get())).empty()) << s.encoding();
  }
  EXPECT_EQ(runTrim(nullptr), nullptr);
}

}  // namespace
