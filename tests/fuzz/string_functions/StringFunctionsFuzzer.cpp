// StringVal, the string functions and RuntimeStringCompare on two strings of
// any bytes and any encoding word. The byte forms, InStrB and the decimal
// texts are held against plain models; the character forms must return a
// piece of their argument; comparison must be antisymmetric; nothing may leak.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/FuzzInput.h"
#include "support/FuzzRuntime.h"
#include "text/StringCompare.h"
#include "text/StringFunctionsApi.h"
#include "text/StringHandle.h"
#include "text/TextForm.h"

namespace {

using rt::String;
using vantor::fuzz::check;
using vantor::fuzz::fail;

// The words of the runtime's own strings, some that need transcoding, one
// iconv knows no name for; any other word comes straight from the input.
constexpr std::uint32_t kEncodings[] = {
    kEncodingASCII, kEncodingUTF8, kEncodingUTF16, kEncodingUTF32, kEncodingUnknown, kEncodingMacRoman,
    0x201 /* ISO 8859-1 */, 1280 /* Windows 1252 */, 2080 /* ISO-2022-JP */, 0x1FF, 3, 0};

std::uint32_t encodingFrom(vantor::fuzz::FuzzInput& input) {
  const std::uint32_t encoding = input.pick(kEncodings);
  return encoding != 0 ? encoding : input.integer<std::uint32_t>();
}

std::int32_t positionFrom(vantor::fuzz::FuzzInput& input) {
  constexpr std::int32_t kExtremes[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX};
  if (input.inRange(0, 7) == 0) return input.pick(kExtremes);
  return static_cast<std::int32_t>(input.inRange(-4, 80));
}

int sign(std::int64_t value) { return (value > 0) - (value < 0); }

// Byte Mid with a 0-based start: a negative start shortens the count.
std::string modelMid(const std::string& s, std::int64_t start0, std::int64_t count) {
  if (start0 < 0) {
    count += start0;
    start0 = 0;
  }
  if (start0 >= static_cast<std::int64_t>(s.size()) || count < 1) return {};
  return s.substr(static_cast<std::size_t>(start0), static_cast<std::size_t>(count));
}

void checkBytes(RTString result, const std::string& expected, const char* what) {
  const String owned = String::adopt(result);
  if (owned.view() != expected) fail(std::string(what) + " gave \"" + owned.str() + "\", expected \"" + expected + "\"");
}

void checkByteForms(const String& s, std::int32_t n, std::int32_t m) {
  const std::string text = s.str();
  const auto size = static_cast<std::int64_t>(text.size());
  checkBytes(StringLeft(s.get(), n), n < 1 ? "" : text.substr(0, static_cast<std::size_t>(std::min<std::int64_t>(n, size))),
             "StringLeft");
  checkBytes(StringRight(s.get(), n),
             n < 1 ? "" : text.substr(static_cast<std::size_t>(size - std::min<std::int64_t>(n, size))), "StringRight");
  checkBytes(StringMid3(s.get(), n, m), modelMid(text, std::int64_t{n} - 1, m), "StringMid3");
  checkBytes(StringMid2(s.get(), n), modelMid(text, std::max<std::int64_t>(std::int64_t{n} - 1, 0), size), "StringMid2");
  check(StringLen(s.get()) == size, "StringLen");
  check(StringAsc(s.get()) == (text.empty() ? 0 : static_cast<unsigned char>(text[0])), "StringAsc");
}

// A character form's result is s itself, the empty string, or a run of s's
// bytes in s's encoding.
void checkPiece(RTString result, const String& s, const char* what) {
  const String owned = String::adopt(result);
  if (owned.empty() || owned.get() == s.get()) return;
  check(s.view().find(owned.view()) != std::string_view::npos, std::string(what) + " is no piece of its argument");
  check(owned.get()->encoding == s.get()->encoding, std::string(what) + " changed the encoding");
}

void checkCharacterForms(const String& s, std::int32_t n, std::int32_t m) {
  checkPiece(StringDBCSLeft(s.get(), n), s, "StringDBCSLeft");
  checkPiece(StringDBCSRight(s.get(), n), s, "StringDBCSRight");
  checkPiece(StringDBCSMid3(s.get(), n, m), s, "StringDBCSMid3");
  checkPiece(StringDBCSMid2(s.get(), n), s, "StringDBCSMid2");
  const std::int32_t length = StringDBCSLen(s.get());
  check(length >= 0 && length <= static_cast<std::int64_t>(s.length()), "StringDBCSLen beyond the byte length");
  (void)StringDBCSAsc(s.get());
  // Left of the length is the whole text, but for the bytes of a last
  // unfinished unit of wide text.
  // (Text of continuation bytes only has no characters at all.)
  if (length == 0) return;
  const String whole = String::adopt(StringDBCSLeft(s.get(), length));
  const std::size_t unit = rt::text::unitSize(rt::text::formOf(s.empty() ? kEncodingASCII : s.get()->encoding));
  check(s.view().starts_with(whole.view()) && s.length() - whole.length() < unit,
        "StringDBCSLeft of the length is not the whole string");
  const String wholeFromRight = String::adopt(StringDBCSRight(s.get(), length));
  check(s.view().ends_with(wholeFromRight.view()) && s.length() - wholeFromRight.length() < unit,
        "StringDBCSRight of the length is not the whole string");
}

void checkTrim(const String& s) {
  using Trim = RTString (*)(RTString);
  constexpr Trim kTrims[] = {&runTrim, &runLTrim, &runRTrim};
  for (const Trim trim : kTrims) {
    const String trimmed = String::adopt(trim(s.get()));
    const std::uint32_t encoding = s.encoding();
    // Other encodings go through UTF-16 and back; these are cut in place.
    if (encoding == kEncodingASCII || encoding == kEncodingUTF8 || encoding == kEncodingUnknown) {
      check(s.view().find(trimmed.view()) != std::string_view::npos, "a trimmed string is no piece of its argument");
      // Not for UTF-8: its decoder reads a character's bytes unchecked, so a
      // damaged last character reads differently once the text is cut after it.
      if (encoding == kEncodingUTF8) continue;
      const String again = String::adopt(trim(trimmed.get()));
      check(again.view() == trimmed.view(), "trimming twice trims more");
    }
  }
}

void checkSearch(const String& source, const String& find, std::int32_t start) {
  const std::int32_t position = StringInStrB(start, source.get(), find.get());
  std::int32_t expected = 0;
  if (find.empty()) {
    expected = source.empty() ? 0 : start;
  } else if (!source.empty()) {
    const std::int64_t start0 = std::max<std::int64_t>(std::int64_t{start} - 1, 0);
    if (start0 < source.length()) {
      const std::size_t at = source.view().find(find.view(), static_cast<std::size_t>(start0));
      expected = at == std::string_view::npos ? 0 : static_cast<std::int32_t>(at) + 1;
    }
  }
  check(position == expected, "StringInStrB gave " + std::to_string(position) + ", expected " + std::to_string(expected));
  const std::int32_t characters = StringInStr(start, source.get(), find.get());
  check(characters >= 0 || (find.empty() && characters == start), "StringInStr gave a negative position");
}

void checkCompare(const String& a, const String& b) {
  check(RuntimeStringCompare(a.get(), a.get()) == 0, "a string differs from itself");
  const String copy = String::bytes(a.view(), a.empty() ? kEncodingASCII : a.get()->encoding);
  check(RuntimeStringCompare(a.get(), copy.get()) == 0, "a string differs from its copy");
  const int ab = sign(RuntimeStringCompare(a.get(), b.get()));
  const int ba = sign(RuntimeStringCompare(b.get(), a.get()));
  check(ab == -ba, "comparison is not antisymmetric: " + std::to_string(ab) + " and " + std::to_string(ba));
}

void checkConcatenation(const String& a, const String& b) {
  const String joined = String::adopt(RuntimeAddString(a.get(), b.get()));
  if (a.empty() || b.empty() || a.get()->encoding == b.get()->encoding) {
    check(joined.str() == a.str() + b.str(), "concatenation in one encoding lost bytes");
  }
}

void checkNumbers(const String& s, std::int32_t n) {
  const double value = StringVal(s.get());
  const std::string text = s.str();
  const std::uint32_t encoding = s.encoding();
  if ((encoding == kEncodingASCII || encoding == kEncodingUTF8 || encoding == kEncodingUnknown) &&
      (text.empty() || text[0] != '&')) {
    const double expected = std::strtod(text.c_str(), nullptr);
    check(value == expected || (std::isnan(value) && std::isnan(expected)), "StringVal differs from strtod");
  }
  check(String::adopt(StringStrInt32(n)).str() == std::to_string(n), "StringStrInt32");
  check(String::adopt(StringStrInt64(std::int64_t{n} * n)).str() == std::to_string(std::int64_t{n} * n),
        "StringStrInt64");
  check(String::adopt(StringStrUInt32(static_cast<std::uint32_t>(n))).str() ==
            std::to_string(static_cast<std::uint32_t>(n)),
        "StringStrUInt32");
  const String character = String::adopt(StringDBCSChr(n));
  if (n >= 0 && n < 256) check(StringDBCSAsc(character.get()) == n, "Asc(Chr(n)) is not n");
  check(character.length() == (n >= 256 ? 2u : 1u), "Chr gave " + std::to_string(character.length()) + " bytes");
  check(String::adopt(StringChr(n)).length() == 1, "StringChr is not one byte");
}

void exercise(const std::uint8_t* data, std::size_t size) {
  vantor::fuzz::FuzzInput input(data, size);
  const std::uint32_t encodingA = encodingFrom(input);
  const std::uint32_t encodingB = encodingFrom(input);
  const std::int32_t n = positionFrom(input);
  const std::int32_t m = positionFrom(input);
  const String b = String::bytes(input.sizedBytes(24), encodingB);
  const String a = String::bytes(input.rest(), encodingA);

  checkByteForms(a, n, m);
  checkCharacterForms(a, n, m);
  checkTrim(a);
  checkSearch(a, b, n);
  checkSearch(a, a, m);
  checkCompare(a, b);
  checkConcatenation(a, b);
  checkNumbers(a, n);
  checkNumbers(b, m);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vantor::fuzz::startRuntime();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vantor::fuzz::Balance balance;
  exercise(data, size);
  balance.expectUnchanged("the string functions");
  return 0;
}
