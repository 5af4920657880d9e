#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "TextTest.h"
#include "text/Transcoder.h"

namespace {

using rt::String;
using rt::text::iconvName;
using namespace rt::test;

class TranscoderTest : public TextTest {};

String transcoded(const String& s, std::uint32_t from, std::uint32_t to) {
  return String::adopt(rt::text::transcode(s.get(), from, to));
}

TEST(TranscoderNames, EveryNameOpensAConverter) {
  int named = 0;
  for (std::uint32_t word = 0; word <= 0xFFFF; ++word) {
    if (iconvName(word) == nullptr) continue;
    ++named;
    iconv_t converter = iconv_open(iconvName(word), "UTF8");
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1)) << word << ": " << iconvName(word);
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
  }
  EXPECT_EQ(named, 53);
  EXPECT_STREQ(iconvName(kEncodingUTF8), "UTF8");
  EXPECT_STREQ(iconvName(kEncodingUTF32), "UTF32");
  EXPECT_STREQ(iconvName(kEncodingUnknown), "UTF8");
}

TEST_F(TranscoderTest, ConvertsAndSubstitutesPerUnit) {
  const struct {
    std::string in;
    std::uint32_t from;
    std::uint32_t to;
    std::string out;
  } cases[] = {
      {"\xC3\xA9", kEncodingUTF8, kEncodingMacRoman, "\x8E"},
      {"ab\xC3", kEncodingUTF8, kEncodingASCII, "ab?"},
      {"a\xC3\xA9", kEncodingUTF8, kEncodingUTF16, wideBytes(u"a\u00E9")},
      {"\xFFz", kEncodingUTF8, kEncodingUTF16, wideBytes(u"?z")},
      {"ab", kEncodingUTF8, kEncodingUTF32, wideBytes(U"ab")},
      {"\xC3z", kEncodingUTF8, kEncodingUTF32, wideBytes(U"?z")},  // no byte order mark
      {wideBytes(u"\xD800z"), kEncodingUTF16, kEncodingUTF8, "?z"},
      {wideBytes(U"\u00E9x"), kEncodingUTF32, kEncodingUTF8, "\xC3\xA9x"},
      {"\xE6\x97\xA5", kEncodingUTF8, 2080, "\x1B$BF|\x1B(B"},  // back to ASCII at the end
      {"a\xFF", kEncodingUTF8, 3073, "\x81\x6F"},               // the EBCDIC "?"
      {"\xC3\xA9", kEncodingUnknown, 513, "\xE9"},
  };
  for (const auto& c : cases) {
    const String result = transcoded(String::bytes(c.in, c.from), c.from, c.to);
    EXPECT_EQ(result.str(), c.out);
    EXPECT_EQ(result.encoding(), c.to) << c.out;
  }
}

TEST_F(TranscoderTest, UnnamedOrEmptyTextStaysAsItWas) {
  const String s = String::bytes("\xE9t\xE9", 3);
  EXPECT_EQ(transcoded(s, 3, kEncodingUTF8).get(), s.get());
  EXPECT_EQ(transcoded(s, 513, 3).get(), s.get());
  EXPECT_EQ(transcoded(s, 513, 3).encoding(), 3u);
  const String markOnly = String::bytes(wideBytes(U"\uFEFF"), kEncodingUTF32);
  EXPECT_TRUE(transcoded(markOnly, kEncodingUTF32, kEncodingUTF8).empty());
}

}  // namespace
