#include <gtest/gtest.h>

#include <string>

#include "TextTest.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "objects/ExceptionHandle.h"
#include "objects/ObjectHandle.h"
#include "text/EncodingApi.h"
#include "text/EncodingConversion.h"
#include "text/TextEncodingClass.h"

namespace {

using rt::String;
using rt::text::commonEncoding;
using namespace rt::test;

constexpr std::uint32_t kLatin1 = 513;

class EncodingConversionTest : public TextTest {
 protected:
  // The class record lives for the process; make it outside any test's balance.
  static void SetUpTestSuite() { rt::objects::classFor(rt::text::textEncodingClass); }
};

String converted(const String& s, std::uint32_t target) {
  return String::adopt(rt::text::convertEncoding(s.get(), target));
}

TEST_F(EncodingConversionTest, RelabelsOnlyAsciiBasedTextAndTranscodesWideText) {
  const struct {
    String source;
    std::uint32_t target;
    std::string bytes;
  } cases[] = {
      {ascii("ab"), kEncodingUTF8, "ab"},
      {String::bytes("ab", kLatin1), kEncodingUTF8, "ab"},
      {String::bytes("\xE9", kLatin1), kEncodingUTF8, "\xC3\xA9"},
      {utf16(u"ab"), kEncodingUTF8, "ab"},  // not "a\0b\0"
      {utf32(U"ab"), kEncodingASCII, "ab"},
      {ascii("ab"), kEncodingUTF32, wideBytes(U"ab")},
      {String("\xC3\xA9"), kEncodingMacRoman, "\x8E"},
      {ascii("a"), 3073, "\x81"},  // EBCDIC
  };
  for (const auto& c : cases) {
    const String result = converted(c.source, c.target);
    EXPECT_NE(result.get(), c.source.get()) << c.bytes;
    EXPECT_EQ(result.str(), c.bytes);
    EXPECT_EQ(result.encoding(), c.target) << c.bytes;
  }
  const String unknown = String::bytes("\xE9", kEncodingUnknown);
  EXPECT_EQ(converted(unknown, kEncodingUTF16).get(), unknown.get());
  EXPECT_EQ(converted(unknown, kEncodingUTF16).encoding(), kEncodingUnknown);
  EXPECT_EQ(converted(ascii("a"), kEncodingUnknown).encoding(), kEncodingASCII);
}

TEST_F(EncodingConversionTest, CachesTheLastConversion) {
  const String source = utf16(u"ab");
  const String first = converted(source, kEncodingUTF8);
  EXPECT_EQ(refCount(source), 2u) << "the cache holds the source";
  EXPECT_EQ(converted(source, kEncodingUTF8).get(), first.get());
  EXPECT_NE(converted(source, kEncodingASCII).get(), first.get());
  const String again = converted(source, kEncodingUTF8);
  EXPECT_NE(again.get(), first.get()) << "a newer conversion replaced the entry";
  TOLVSetStringEncoding(source.get(), kEncodingUTF32);
  EXPECT_NE(converted(source, kEncodingUTF8).get(), again.get()) << "the source was retagged";
  rt::text::clearConversionCache();
  EXPECT_EQ(refCount(source), 1u);
}

TEST_F(EncodingConversionTest, FindsTheCommonEncoding) {
  const struct {
    String first;
    String second;
    std::uint32_t encoding;
  } cases[] = {
      {String(), utf16(u"a"), kEncodingUTF16},
      {ascii("a"), String("b"), kEncodingUTF8},
      {ascii("a"), String::bytes("\xE9", kLatin1), kLatin1},
      {ascii("a"), utf16(u"b"), kEncodingUTF16},
      {ascii("a"), utf32(U"b"), kEncodingUTF32},
      {utf16(u"a"), String("b"), kEncodingUTF8},
      {String::bytes("\xE9", kLatin1), utf16(u"b"), kEncodingUTF16},
      {String::bytes("\xE9", kLatin1), String::bytes("\x8E", kEncodingMacRoman), kEncodingUTF8},
      {utf32(U"a"), utf16(u"b"), kEncodingUTF16},
      {String::bytes("a", kEncodingUnknown), utf16(u"b"), kEncodingUnknown},
      {String::bytes("\xE9", 3), String("b"), kEncodingUnknown},  // 3 cannot be transcoded
  };
  for (const auto& c : cases) {
    const rt::text::TextPair pair = commonEncoding(c.first.get(), c.second.get());
    EXPECT_EQ(pair.encoding, c.encoding) << c.first.encoding() << " with " << c.second.encoding();
    if (pair.encoding == kEncodingUnknown) {
      EXPECT_EQ(pair.first, c.first.view());
      EXPECT_EQ(pair.second, c.second.view());
    }
  }
}

TEST_F(EncodingConversionTest, ConvertsToTheEncodingOfAnObject) {
  const String s = "\xC3\xA9";
  const rt::Object macRoman = rt::Object::adopt(rt::text::newTextEncoding(kEncodingMacRoman));
  EXPECT_EQ(String::adopt(StringConvertEncoding(s.get(), macRoman.get())).str(), "\x8E");
  EXPECT_EQ(String::adopt(StringConvertEncoding(s.get(), nullptr)).get(), s.get());
  // An object of another class has no encoding word: the text stays as it is.
  const rt::Object notAnEncoding =
      rt::newObject(rt::objects::classFor(rt::exceptions::runtimeException));
  EXPECT_EQ(String::adopt(StringConvertEncoding(s.get(), notAnEncoding.get())).get(), s.get());

  const String forPlugin = String::adopt(TOLVConvertString(s.get(), kEncodingMacRoman));
  EXPECT_EQ(forPlugin.str(), "\x8E");
  EXPECT_EQ(forPlugin.encoding(), kEncodingMacRoman);
}

}  // namespace
