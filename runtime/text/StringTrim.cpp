// runTrim, runLTrim and runRTrim.
#include <string_view>

#include "text/ByteSlices.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringFunctionsApi.h"
#include "text/StringHandle.h"
#include "text/StringStorage.h"
#include "text/TextForm.h"
#include "text/Utf8.h"

namespace rt::text {
namespace {

enum Sides { kLeading = 1, kTrailing = 2, kBoth = 3 };

bool isByteSpace(char32_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x20; }

bool isUnicodeSpace(char32_t c) {
  return isByteSpace(c) || c == 0x85 || c == 0xA0 || c == 0x1680 || c == 0x180E ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// The byte range [from, to) of the text without its white space.
struct Range {
  std::size_t from;
  std::size_t to;
};

Range utf8Range(std::string_view text, int sides) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* from = begin;
  const char* to = end;
  if (sides & kLeading) {
    while (from < end && isUnicodeSpace(utf8::decode(from, end).codePoint))
      from = utf8::next(from, end);
  }
  if (sides & kTrailing) {
    while (to > from) {
      const char* previous = utf8::previous(begin, to);
      if (!isUnicodeSpace(utf8::decode(previous, to).codePoint)) break;
      to = previous;
    }
  }
  return {static_cast<std::size_t>(from - begin), static_cast<std::size_t>(to - begin)};
}

template <class Unit>
Range unitRange(std::string_view text, int sides, bool (*isSpace)(char32_t)) {
  std::size_t from = 0;
  std::size_t to = text.size() / sizeof(Unit);
  const auto spaceAt = [&](std::size_t i) {
    return isSpace(loadUnit<Unit>(text.data() + i * sizeof(Unit)));
  };
  if (sides & kLeading) {
    while (from < to && spaceAt(from)) ++from;
  }
  if (sides & kTrailing) {
    while (to > from && spaceAt(to - 1)) --to;
  }
  // Trailing bytes that make no whole unit stay with the text.
  const std::size_t tail = to == text.size() / sizeof(Unit) ? text.size() % sizeof(Unit) : 0;
  return {from * sizeof(Unit), to * sizeof(Unit) + tail};
}

Range rangeIn(TextForm form, std::string_view text, int sides) {
  switch (form) {
    case TextForm::Utf8:
      return utf8Range(text, sides);
    case TextForm::Utf16:
      return unitRange<char16_t>(text, sides, isUnicodeSpace);
    case TextForm::Utf32:
      return unitRange<char32_t>(text, sides, isUnicodeSpace);
    case TextForm::Bytes:
      break;
  }
  return unitRange<char>(text, sides, isByteSpace);
}

RTString cut(RTString s, Range range) {
  if (range.from >= range.to) return nullptr;
  return midBytes(s, static_cast<std::int64_t>(range.from),
                  static_cast<std::int64_t>(range.to - range.from));
}

bool isTrimmedInPlace(std::uint32_t encoding) {
  return encoding == kEncodingUTF8 || isWide(encoding) || encoding == kEncodingASCII ||
         encoding == kEncodingUnknown;
}

// Other encodings are trimmed in UTF-16 and converted back; an encoding that
// cannot be transcoded is trimmed as ASCII-based bytes.
RTString trimConverted(RTString s, int sides) {
  const String wide = String::adopt(convertEncoding(s, kEncodingUTF16));
  if (wide.encoding() != kEncodingUTF16) return cut(s, rangeIn(TextForm::Bytes, bytes(s), sides));
  const Range range = rangeIn(TextForm::Utf16, wide.view(), sides);
  if (range.from == 0 && range.to == wide.length()) {
    RuntimeLockString(s);
    return s;
  }
  const String piece = String::adopt(cut(wide.get(), range));
  return convertEncoding(piece.get(), s->encoding);
}

RTString trim(RTString s, int sides) {
  if (s == nullptr) return nullptr;
  if (!isTrimmedInPlace(s->encoding)) return trimConverted(s, sides);
  return cut(s, rangeIn(formOf(s->encoding), bytes(s), sides));
}

}  // namespace
}  // namespace rt::text

extern "C" {

RTString runTrim(RTString s) { return rt::text::trim(s, rt::text::kBoth); }
RTString runLTrim(RTString s) { return rt::text::trim(s, rt::text::kLeading); }
RTString runRTrim(RTString s) { return rt::text::trim(s, rt::text::kTrailing); }

}  // extern "C"
