// Val and the Str family: numbers read from and written as text.
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "text/CLocale.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringFunctionsApi.h"
#include "text/StringHandle.h"
#include "text/StringStorage.h"

namespace rt::text {
namespace {

// The value of c as a digit of the radix, or -1.
int digitValue(char c, unsigned radix) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < static_cast<int>(radix) ? value : -1;
}

unsigned radixOf(char selector) {
  switch (selector) {
    case 'h':
    case 'H':
      return 16;
    case 'o':
    case 'O':
      return 8;
    case 'b':
    case 'B':
      return 2;
    default:
      return 0;
  }
}

// "&h", "&o" or "&b" and digits of that radix; other bytes are skipped. The
// value wraps at 32 bits and reads as signed, so eight F digits give -1.
double radixValue(std::string_view text) {
  const unsigned radix = radixOf(text[1]);
  if (radix == 0) return 0;
  std::uint32_t value = 0;
  for (char c : text.substr(2)) {
    const int digit = digitValue(c, radix);
    if (digit >= 0) value = value * radix + static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);
}

// Text in UTF-16, UTF-32 and the other encodings whose word has the bit 0x100
// (but not UTF-8) is read in UTF-8.
bool readsInUtf8(std::uint32_t encoding) {
  return (encoding & 0x100u) != 0 && encoding != kEncodingUTF8;
}

double valueOf(RTString s) {
  if (s == nullptr) return 0;
  const String text =
      readsInUtf8(s->encoding) ? String::adopt(convertEncoding(s, kEncodingUTF8)) : String(s);
  const std::string_view view = text.view();
  if (view.size() >= 2 && view[0] == '&') return radixValue(view);
  return strtod_l(StringGetCString(text.get()), nullptr, cLocale());
}

template <class Integer>
RTString decimal(Integer n) {
  char digits[24];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), n).ptr;
  return makeString(digits, static_cast<std::size_t>(end - digits), kEncodingASCII);
}

}  // namespace
}  // namespace rt::text

using rt::text::decimal;

extern "C" {

double StringVal(RTString s) { return rt::text::valueOf(s); }

// The narrow forms write the value widened to a signed 32-bit number.
RTString StringStrInt8(int8_t n) { return decimal<int32_t>(n); }
RTString StringStrInt16(int16_t n) { return decimal<int32_t>(n); }
RTString StringStrUInt8(uint8_t n) { return decimal<int32_t>(n); }
RTString StringStrUInt16(uint16_t n) { return decimal<int32_t>(n); }
RTString StringStrInt32(int32_t n) { return decimal(n); }
RTString StringStrUInt32(uint32_t n) { return decimal(n); }
RTString StringStrInt64(int64_t n) { return decimal(n); }
RTString StringStrUInt64(uint64_t n) { return decimal(n); }

}  // extern "C"
