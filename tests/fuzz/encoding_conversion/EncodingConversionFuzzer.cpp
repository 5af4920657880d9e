// Encoding conversion on any bytes between any two encoding words: the
// transcoder, the conversion rules strings are brought together by, and the
// entry points that expose them. Valid UTF-8 must come back unchanged from
// UTF-16 and UTF-32; nothing may leak.
#include <cstdint>
#include <string>

#include "support/FuzzInput.h"
#include "support/FuzzRuntime.h"
#include "text/EncodingApi.h"
#include "text/EncodingConversion.h"
#include "text/StringHandle.h"
#include "text/Transcoder.h"

namespace {

using rt::String;
using vantor::fuzz::check;

// Every word iconv has a name for, and 0 for a word taken from the input.
constexpr std::uint32_t kEncodings[] = {
    0,    7,    29,   256,  513,  514,  515,  516,  517,  518,  519,  520,        521,        527,
    1024, 1029, 1030, 1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048,       1049,       1050,
    1051, 1052, 1053, 1056, 1057, 1058, 1059, 1280, 1281, 1282, 1283, 1284,       1285,       1286,
    1287, 1288, 1296, 1536, 1585, 2080, 2336, 2561, 3073, 3074, 0x0C000100, 0x08000100, 0xFFFF, 0};

std::uint32_t encodingFrom(vantor::fuzz::FuzzInput& input) {
  const std::uint32_t encoding = input.pick(kEncodings);
  return encoding != 0 || input.boolean() ? encoding : input.integer<std::uint32_t>();
}

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
      length = 1;
      c = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      c = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (int k = 1; k < length; ++k) {
      const auto byte = static_cast<unsigned char>(text[i + k]);
      if ((byte & 0xC0) != 0x80) return false;
      c = (c << 6) | (byte & 0x3F);
    }
    if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
        (c >= 0xD800 && c <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

void checkTranscode(const String& s, std::uint32_t from, std::uint32_t to) {
  const String result = String::adopt(rt::text::transcode(s.get(), from, to));
  if (result.empty() || result.get() == s.get()) return;
  check(result.get()->encoding == to, "a transcoded string is not tagged with its target");
}

void checkConversion(const String& s, std::uint32_t target) {
  const String converted = String::adopt(rt::text::convertEncoding(s.get(), target));
  if (s.empty() || target == kEncodingUnknown || s.get()->encoding == kEncodingUnknown ||
      s.get()->encoding == target) {
    check(converted.get() == s.get(), "a conversion that has nothing to do made a new string");
  }
  // The cache answers the same question with the same block.
  const String again = String::adopt(rt::text::convertEncoding(s.get(), target));
  check(again.get() == converted.get(), "converting the same block twice gave two results");
  const String callback = String::adopt(TOLVConvertString(s.get(), target));
  check(callback.view() == converted.view(), "TOLVConvertString differs from the conversion");
  const String unchanged = String::adopt(StringConvertEncoding(s.get(), nullptr));
  check(unchanged.get() == s.get(), "conversion to a nil encoding changed the string");
}

void checkRoundTrip(std::string_view utf8) {
  if (!isValidUtf8(utf8)) return;
  const String text = String::bytes(utf8, kEncodingUTF8);
  for (const std::uint32_t wide : {kEncodingUTF16, kEncodingUTF32}) {
    const String there = String::adopt(rt::text::transcode(text.get(), kEncodingUTF8, wide));
    const String back = String::adopt(rt::text::transcode(there.get(), wide, kEncodingUTF8));
    check(back.view() == utf8, "valid UTF-8 did not come back unchanged from encoding " + std::to_string(wide));
  }
}

void convert(const std::uint8_t* data, std::size_t size) {
  vantor::fuzz::FuzzInput input(data, size);
  const std::uint32_t from = encodingFrom(input);
  const std::uint32_t to = encodingFrom(input);
  const std::string_view bytes = input.rest();
  const String s = String::bytes(bytes, from);
  checkTranscode(s, from, to);
  checkConversion(s, to);
  // Pairs in their common encoding: the views must stay readable.
  const String other = String::bytes(bytes.substr(0, bytes.size() / 2), to);
  const rt::text::TextPair pair = rt::text::commonEncoding(s.get(), other.get());
  check(pair.first.size() <= 4 * bytes.size() + 8 && pair.second.size() <= 4 * bytes.size() + 8,
        "a common encoding grew a text more than four times");
  checkRoundTrip(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vantor::fuzz::startRuntime();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vantor::fuzz::Balance balance;
  convert(data, size);
  balance.expectUnchanged("converting encodings");
  return 0;
}
