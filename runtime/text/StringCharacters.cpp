// Left, Right, Mid, Len, Asc and Chr in their character and byte forms.
#include <algorithm>
#include <cstring>

#include "text/ByteSlices.h"
#include "text/Encodings.h"
#include "text/StringFunctionsApi.h"
#include "text/StringStorage.h"
#include "text/TextForm.h"
#include "text/Utf8.h"

namespace rt::text {
namespace {

struct Text {
  const char* begin;
  const char* end;
  TextForm form;
};

Text textOf(RTString s) { return {s->text, s->text + s->length, formOf(s->encoding)}; }

std::int64_t unitsToBytes(const Text& t, std::int64_t n) {
  return n * static_cast<std::int64_t>(unitSize(t.form));
}

RTString left(RTString s, std::int64_t n) {
  if (s == nullptr || n < 1) return nullptr;
  const Text t = textOf(s);
  if (t.form != TextForm::Utf8) return leftBytes(s, unitsToBytes(t, n));
  return leftBytes(s, utf8::advance(t.begin, t.end, n) - t.begin);
}

RTString right(RTString s, std::int64_t n) {
  if (s == nullptr || n < 1) return nullptr;
  const Text t = textOf(s);
  if (t.form != TextForm::Utf8) return rightBytes(s, unitsToBytes(t, n));
  const char* p = t.end;
  for (; n > 0 && p > t.begin; --n) p = utf8::previous(t.begin, p);
  if (p == utf8::firstLead(t.begin, t.end)) p = t.begin;
  return rightBytes(s, t.end - p);
}

RTString mid(RTString s, std::int64_t start, std::int64_t count) {
  if (s == nullptr || count < 1) return nullptr;
  // A start before the first character uses up part of the count: Mid(s, 0, 3)
  // gives two characters.
  if (start < 1) {
    count += start - 1;
    start = 1;
  }
  const Text t = textOf(s);
  if (t.form != TextForm::Utf8) {
    return midBytes(s, unitsToBytes(t, start - 1), unitsToBytes(t, count));
  }
  const char* from = utf8::advance(t.begin, t.end, start - 1);
  const char* to = utf8::advance(from, t.end, count);
  return midBytes(s, from - t.begin, to - from);
}

RTString rest(RTString s, std::int64_t start) {
  if (s == nullptr) return nullptr;
  const Text t = textOf(s);
  if (t.form != TextForm::Utf8) return restBytes(s, unitsToBytes(t, start - 1));
  return restBytes(s, utf8::advance(t.begin, t.end, start - 1) - t.begin);
}

std::int32_t characterCount(RTString s) {
  if (s == nullptr) return 0;
  const Text t = textOf(s);
  if (t.form == TextForm::Utf8) return static_cast<std::int32_t>(utf8::count(t.begin, t.end));
  return static_cast<std::int32_t>(s->length / unitSize(t.form));
}

template <class Unit>
std::int32_t firstUnit(RTString s) {
  Unit unit = 0;
  std::memcpy(&unit, s->text, std::min<std::size_t>(sizeof unit, s->length));
  return static_cast<std::int32_t>(unit);
}

std::int32_t firstCharacter(RTString s) {
  if (s == nullptr) return 0;
  const Text t = textOf(s);
  switch (t.form) {
    case TextForm::Utf8:
      return static_cast<std::int32_t>(utf8::decode(t.begin, t.end).codePoint);
    case TextForm::Utf16:
      return firstUnit<char16_t>(s);
    case TextForm::Utf32:
      return firstUnit<char32_t>(s);
    case TextForm::Bytes:
      break;
  }
  return static_cast<unsigned char>(s->text[0]);
}

RTString oneByte(std::int32_t code, std::uint32_t encoding) {
  const char byte = static_cast<char>(code & 0xFF);
  return makeString(&byte, 1, encoding);
}

RTString characterOf(std::int32_t code) {
  if (code < 256) return oneByte(code, code >= 0 && code < 128 ? kEncodingASCII : kEncodingUnknown);
  const char pair[2] = {static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
  return makeString(pair, 2, kEncodingUnknown);
}

}  // namespace
}  // namespace rt::text

using namespace rt::text;

extern "C" {

RTString StringDBCSLeft(RTString s, int32_t n) { return left(s, n); }
RTString StringDBCSRight(RTString s, int32_t n) { return right(s, n); }
RTString StringDBCSMid3(RTString s, int32_t start, int32_t count) { return mid(s, start, count); }
RTString StringDBCSMid2(RTString s, int32_t start) { return rest(s, start); }
int32_t StringDBCSLen(RTString s) { return characterCount(s); }
int32_t StringDBCSAsc(RTString s) { return firstCharacter(s); }
RTString StringDBCSChr(int32_t code) { return characterOf(code); }

RTString StringLeft(RTString s, int32_t n) { return leftBytes(s, n); }
RTString StringRight(RTString s, int32_t n) { return rightBytes(s, n); }
RTString StringMid3(RTString s, int32_t start, int32_t count) {
  return midBytes(s, static_cast<std::int64_t>(start) - 1, count);
}
RTString StringMid2(RTString s, int32_t start) {
  return restBytes(s, static_cast<std::int64_t>(start) - 1);
}
int32_t StringLen(RTString s) { return static_cast<int32_t>(length(s)); }
int32_t StringAsc(RTString s) { return s == nullptr ? 0 : static_cast<unsigned char>(s->text[0]); }
RTString StringChr(int32_t code) {
  return oneByte(code, code < 128 ? kEncodingASCII : kEncodingUnknown);
}

}  // extern "C"
