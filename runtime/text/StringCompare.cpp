#include "text/StringCompare.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "text/ByteUpperCase.h"
#include "text/CLocale.h"
#include "text/CaseTable.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"
#include "text/TextForm.h"
#include "text/Utf8.h"

namespace rt::text {
namespace {

int order(std::size_t a, std::size_t b) { return a < b ? -1 : a > b ? 1 : 0; }

// The sign of two characters known to differ.
template <class Character>
int signOfDifference(Character a, Character b) {
  return a < b ? -1 : 1;
}

int compareUtf8(std::string_view a, std::string_view b) {
  const char* p = a.data();
  const char* q = b.data();
  const char* const pEnd = p + a.size();
  const char* const qEnd = q + b.size();
  while (p < pEnd && q < qEnd) {
    const auto x = static_cast<unsigned char>(*p);
    const auto y = static_cast<unsigned char>(*q);
    if ((x | y) < 0x80) {
      if (x != y && upperCaseTable[x] != upperCaseTable[y]) {
        return signOfDifference(upperCaseTable[x], upperCaseTable[y]);
      }
      ++p;
      ++q;
      continue;
    }
    const utf8::Decoded dx = utf8::decode(p, pEnd);
    const utf8::Decoded dy = utf8::decode(q, qEnd);
    const char32_t fx = upperCase(dx.codePoint);
    const char32_t fy = upperCase(dy.codePoint);
    if (fx != fy) return signOfDifference(fx, fy);
    p += dx.length;
    q += dy.length;
  }
  return order(a.size(), b.size());
}

template <class Unit>
int compareUnits(std::string_view a, std::string_view b) {
  const std::size_t aUnits = a.size() / sizeof(Unit);
  const std::size_t bUnits = b.size() / sizeof(Unit);
  const std::size_t common = std::min(aUnits, bUnits);
  for (std::size_t i = 0; i < common; ++i) {
    const char32_t x = upperCase(loadUnit<Unit>(a.data() + i * sizeof(Unit)));
    const char32_t y = upperCase(loadUnit<Unit>(b.data() + i * sizeof(Unit)));
    if (x != y) return signOfDifference(x, y);
  }
  return order(aUnits, bUnits);
}

int compareMappedBytes(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char x = kMacRomanUpperCase[static_cast<unsigned char>(a[i])];
    const unsigned char y = kMacRomanUpperCase[static_cast<unsigned char>(b[i])];
    if (x != y) return signOfDifference(x, y);
  }
  return order(a.size(), b.size());
}

// Byte text of equal lengths goes to strncasecmp, whose value is returned as it
// is and which stops at a zero byte. Wide text that found no common encoding is
// still compared over all its bytes.
int compareBytes(std::string_view a, std::string_view b, bool wideSource) {
  if (a.size() == b.size() && !wideSource) {
    return strncasecmp_l(a.data(), b.data(), a.size(), cLocale());
  }
  return compareMappedBytes(a, b);
}

int compareIn(std::uint32_t encoding, std::string_view a, std::string_view b, bool wideSource) {
  switch (formOf(encoding)) {
    case TextForm::Utf8:
      return compareUtf8(a, b);
    case TextForm::Utf16:
      return compareUnits<char16_t>(a, b);
    case TextForm::Utf32:
      return compareUnits<char32_t>(a, b);
    case TextForm::Bytes:
      break;
  }
  return compareBytes(a, b, wideSource);
}

// ASCII meets UTF-8 by relabelling alone: the common case of a typed word
// against a module constant, so it skips the general pairing.
bool asciiWithUtf8(RTString a, RTString b) {
  return (a->encoding == kEncodingASCII && b->encoding == kEncodingUTF8) ||
         (a->encoding == kEncodingUTF8 && b->encoding == kEncodingASCII);
}

RTString join(std::string_view left, std::string_view right, std::uint32_t encoding) {
  RTString joined = makeString(nullptr, left.size() + right.size(), encoding);
  std::memcpy(joined->text, left.data(), left.size());
  std::memcpy(joined->text + left.size(), right.data(), right.size());
  return joined;
}

}  // namespace
}  // namespace rt::text

using namespace rt::text;

extern "C" {

RTString RuntimeAddString(RTString left, RTString right) {
  if (right == nullptr || left == nullptr) {
    RTString operand = right == nullptr ? left : right;
    RuntimeLockString(operand);
    return operand;
  }
  if (left->encoding == right->encoding) return join(bytes(left), bytes(right), left->encoding);
  if (asciiWithUtf8(left, right)) return join(bytes(left), bytes(right), kEncodingUTF8);
  const TextPair pair = commonEncoding(left, right);
  return join(pair.first, pair.second, pair.encoding);
}

int32_t RuntimeStringCompare(RTString a, RTString b) {
  if (a == b) return 0;
  if (a == nullptr) return -1;
  if (b == nullptr) return 1;
  if (a->encoding == b->encoding) return compareIn(a->encoding, bytes(a), bytes(b), false);
  if (asciiWithUtf8(a, b)) return compareUtf8(bytes(a), bytes(b));
  const TextPair pair = commonEncoding(a, b);
  return compareIn(pair.encoding, pair.first, pair.second, pair.wideSource);
}

}  // extern "C"
