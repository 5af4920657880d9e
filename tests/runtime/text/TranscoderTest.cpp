#include "text/Transcoder.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <cstdint>
#include <string>

#include "text/TextForm.h"
#include "TextTest.h"

namespace {

using rt::String;
using rt::text::iconvName;
using rt::text::transcode;
using namespace rt::test;

class TranscoderTest : public TextTest {};

String transcoded(const String& s, std::uint32_t from, std::uint32_t to) {
  return String::adopt(transcode(s.get(), from, to));
}

TEST(TranscoderNames, EveryNameOpensAConverter) {
  int named = 0;
  for (std::uint32_t word = 0; word <= 0xFFFF; ++word) {
    if (iconvName(word) == nullptr) continue;
    ++named;
    iconv_t converter = iconv_open(iconvName(word), "UTF8");
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "word " << word << ": " << iconvName(word);
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
  }
  for (std::uint32_t word : {kEncodingUTF8, kEncodingUTF32}) {
    ASSERT_NE(iconvName(word), nullptr);
    ++named;
  }
  EXPECT_EQ(named, 55);
  EXPECT_STREQ(iconvName(kEncodingUnknown), "UTF8");
  EXPECT_STREQ(iconvName(kEncodingUTF16), "UTF16LE");
  EXPECT_EQ(iconvName(3), nullptr);
  EXPECT_EQ(iconvName(kEncodingUTF8 + 1), nullptr);
}

struct TranscodeCase {
  const char* name;
  std::string in;
  std::uint32_t from;
  std::uint32_t to;
  std::string out;
};

TEST_F(TranscoderTest, ConvertsAndSubstitutesPerUnit) {
  const TranscodeCase cases[] = {
      {"e acute to Mac Roman", "\xC3\xA9", kEncodingUTF8, kEncodingMacRoman, "\x8E"},
      {"Mac Roman to UTF-8", "\x8E", kEncodingMacRoman, kEncodingUTF8, "\xC3\xA9"},
      {"lone lead byte", "ab\xC3", kEncodingUTF8, kEncodingASCII, "ab?"},
      {"to UTF-16", "a\xC3\xA9", kEncodingUTF8, kEncodingUTF16, wideBytes(u"a\u00E9")},
      {"to UTF-32 without mark", "ab", kEncodingUTF8, kEncodingUTF32, wideBytes(U"ab")},
      {"wide question mark", "\xC3" "a", kEncodingUTF8, kEncodingUTF32, wideBytes(U"?a")},
      {"UTF-16 question mark", "\xFF" "a", kEncodingUTF8, kEncodingUTF16, wideBytes(u"?a")},
      {"lone surrogate skips a unit", wideBytes(u"\xD800" "a"), kEncodingUTF16, kEncodingUTF8, "?a"},
      {"UTF-32 to UTF-8", wideBytes(U"\u00E9x"), kEncodingUTF32, kEncodingUTF8, "\xC3\xA9x"},
      {"stateful text ends in its initial state", "\xE6\x97\xA5", kEncodingUTF8, 2080,
       "\x1B$BF|\x1B(B"},
      {"EBCDIC question mark", "a\xFF", kEncodingUTF8, 3073, "\x81\x6F"},
      {"unknown is the system encoding", "\xC3\xA9", kEncodingUnknown, 513, "\xE9"},
  };
  for (const TranscodeCase& c : cases) {
    const String result = transcoded(String::bytes(c.in, c.from), c.from, c.to);
    EXPECT_EQ(result.str(), c.out) << c.name;
    EXPECT_EQ(result.encoding(), c.to) << c.name;
  }
}

TEST_F(TranscoderTest, UnnamedEncodingsLeaveTheStringAsItWas) {
  const String s = String::bytes("\xE9t\xE9", 3);
  for (auto [from, to] : {std::pair{3u, kEncodingUTF8}, std::pair{513u, 3u}}) {
    const String result = transcoded(s, from, to);
    EXPECT_EQ(result.get(), s.get());
    EXPECT_EQ(result.encoding(), 3u);
  }
}

TEST_F(TranscoderTest, EmptyOutputIsTheEmptyString) {
  const String markOnly = String::bytes(wideBytes(U"\uFEFF"), kEncodingUTF32);
  EXPECT_TRUE(transcoded(markOnly, kEncodingUTF32, kEncodingUTF8).empty());
  EXPECT_TRUE(transcoded(String(), kEncodingUTF8, kEncodingUTF16).empty());
}

}  // namespace
