#include "text/EncodingConversion.h"

#include <gtest/gtest.h>

#include <string>

#include "objects/ClassRegistry.h"
#include "objects/ObjectHandle.h"
#include "text/EncodingApi.h"
#include "text/SmallBlockAllocator.h"
#include "text/TextEncodingClass.h"
#include "TextTest.h"

namespace {

using rt::String;
using rt::text::commonEncoding;
using rt::text::convertEncoding;
using namespace rt::test;

constexpr std::uint32_t kLatin1 = 513;

class EncodingConversionTest : public TextTest {
 protected:
  // The class record lives for the process; make it outside any test's balance.
  static void SetUpTestSuite() { rt::objects::classFor(rt::text::textEncodingClass); }

  static rt::Object encodingObject(std::uint32_t encoding) {
    rt::Object object = rt::Object::adopt(RuntimeNewObject(rt::objects::classFor(rt::text::textEncodingClass)));
    reinterpret_cast<TextEncodingObject*>(object.get())->encoding = encoding;
    return object;
  }
};

String converted(const String& s, std::uint32_t target) {
  return String::adopt(convertEncoding(s.get(), target));
}

TEST_F(EncodingConversionTest, ReturnsTheSourceWhenNothingIsToConvert) {
  const String utf8 = "caf\xC3\xA9";
  const String unknown = String::bytes("\xE9", kEncodingUnknown);
  EXPECT_EQ(converted(utf8, kEncodingUnknown).get(), utf8.get());
  EXPECT_EQ(converted(utf8, kEncodingUTF8).get(), utf8.get());
  EXPECT_EQ(converted(unknown, kEncodingUTF16).get(), unknown.get());
  EXPECT_EQ(converted(unknown, kEncodingUTF16).encoding(), kEncodingUnknown);
  EXPECT_TRUE(converted(String(), kEncodingUTF16).empty());
}

struct ConversionCase {
  const char* name;
  String source;
  std::uint32_t target;
  std::string bytes;
};

TEST_F(EncodingConversionTest, RelabelsOnlyAsciiBasedTextAndTranscodesWideText) {
  const ConversionCase cases[] = {
      {"ASCII relabelled", ascii("ab"), kEncodingUTF8, "ab"},
      {"7-bit Latin-1 relabelled", String::bytes("ab", kLatin1), kEncodingUTF8, "ab"},
      {"8-bit Latin-1 transcoded", String::bytes("\xE9", kLatin1), kEncodingUTF8, "\xC3\xA9"},
      {"UTF-16 is never relabelled", utf16(u"ab"), kEncodingUTF8, "ab"},
      {"UTF-16 to ASCII", utf16(u"ab"), kEncodingASCII, "ab"},
      {"UTF-32 to UTF-8", utf32(U"ab"), kEncodingUTF8, "ab"},
      {"ASCII to UTF-16", ascii("ab"), kEncodingUTF16, wideBytes(u"ab")},
      {"ASCII to UTF-32", ascii("ab"), kEncodingUTF32, wideBytes(U"ab")},
      {"UTF-8 to Mac Roman", String("\xC3\xA9"), kEncodingMacRoman, "\x8E"},
      {"ASCII to EBCDIC", ascii("a"), 3073, "\x81"},
  };
  for (const ConversionCase& c : cases) {
    const String result = converted(c.source, c.target);
    EXPECT_NE(result.get(), c.source.get()) << c.name;
    EXPECT_EQ(result.str(), c.bytes) << c.name;
    EXPECT_EQ(result.encoding(), c.target) << c.name;
  }
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

TEST_F(EncodingConversionTest, CacheKeepsItsResultAliveAfterTheCallerLetsGo) {
  RTString source = StringFromWString(L"x");
  RTString result = convertEncoding(source, kEncodingUTF8);
  RuntimeUnlockString(source);
  RuntimeUnlockString(result);
  EXPECT_EQ(rt::text::bytes(result), "x") << "still held by the cache";
}

struct CommonCase {
  const char* name;
  String first;
  String second;
  std::uint32_t encoding;
};

TEST_F(EncodingConversionTest, FindsTheCommonEncoding) {
  const CommonCase cases[] = {
      {"both empty", String(), String(), kEncodingASCII},
      {"first empty", String(), utf16(u"a"), kEncodingUTF16},
      {"second empty", String("a"), String(), kEncodingUTF8},
      {"ASCII with UTF-8", ascii("a"), String("b"), kEncodingUTF8},
      {"UTF-8 with ASCII", String("b"), ascii("a"), kEncodingUTF8},
      {"ASCII with Latin-1", ascii("a"), String::bytes("\xE9", kLatin1), kLatin1},
      {"ASCII with UTF-16", ascii("a"), utf16(u"b"), kEncodingUTF16},
      {"ASCII with UTF-32", ascii("a"), utf32(U"b"), kEncodingUTF32},
      {"UTF-16 with UTF-8", utf16(u"a"), String("b"), kEncodingUTF8},
      {"Latin-1 with UTF-16", String::bytes("\xE9", kLatin1), utf16(u"b"), kEncodingUTF16},
      {"Latin-1 with Mac Roman", String::bytes("\xE9", kLatin1), String::bytes("\x8E", 0), kEncodingUTF8},
      {"UTF-32 with UTF-16", utf32(U"a"), utf16(u"b"), kEncodingUTF16},
      {"unknown with UTF-16", String::bytes("a", kEncodingUnknown), utf16(u"b"), kEncodingUnknown},
      {"untranscodable", String::bytes("\xE9", 3), String("b"), kEncodingUnknown},
  };
  for (const CommonCase& c : cases) {
    EXPECT_EQ(commonEncoding(c.first.get(), c.second.get()).encoding, c.encoding) << c.name;
  }
}

TEST_F(EncodingConversionTest, FailedConversionLeavesBothAsTheyWere) {
  const String odd = String::bytes("\xE9", 3);
  const String wide = utf16(u"b");
  const rt::text::TextPair pair = commonEncoding(odd.get(), wide.get());
  EXPECT_EQ(pair.encoding, kEncodingUnknown);
  EXPECT_EQ(pair.first.data(), odd.get()->text);
  EXPECT_EQ(pair.second.data(), wide.get()->text);
  EXPECT_TRUE(pair.wideSource);
}

TEST_F(EncodingConversionTest, RelabellingNeedsNoAllocation) {
  const String constant = "quit";
  const String typed = ascii("QUIT");
  const auto before = rt::memory::bytesInUse();
  const rt::text::TextPair pair = commonEncoding(typed.get(), constant.get());
  EXPECT_EQ(pair.encoding, kEncodingUTF8);
  EXPECT_EQ(pair.first.data(), typed.get()->text);
  EXPECT_EQ(rt::memory::bytesInUse(), before);
}

TEST_F(EncodingConversionTest, ConvertsToTheEncodingOfAnObject) {
  const String s = "\xC3\xA9";
  const rt::Object macRoman = encodingObject(kEncodingMacRoman);
  const rt::Object same = encodingObject(kEncodingUTF8);
  EXPECT_EQ(String::adopt(StringConvertEncoding(s.get(), macRoman.get())).str(), "\x8E");
  EXPECT_EQ(String::adopt(StringConvertEncoding(s.get(), same.get())).get(), s.get());
  EXPECT_EQ(String::adopt(StringConvertEncoding(s.get(), nullptr)).get(), s.get());
  EXPECT_EQ(rt::text::encodingOfObject(nullptr), kEncodingUnknown);

  const String forPlugin = String::adopt(TOLVConvertString(s.get(), kEncodingMacRoman));
  EXPECT_EQ(forPlugin.str(), "\x8E");
  EXPECT_EQ(forPlugin.encoding(), kEncodingMacRoman);
  EXPECT_EQ(String::adopt(TOLVConvertString(ascii("ls").get(), kEncodingMacRoman)).str(), "ls");
}

}  // namespace
