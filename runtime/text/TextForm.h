// How the bytes of a string make characters, by its encoding word: UTF-8 code
// points, UTF-16 or UTF-32 units in native byte order, or single bytes (ASCII,
// unknown and every other encoding).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "text/Encodings.h"

namespace rt::text {

enum class TextForm { Utf8, Utf16, Utf32, Bytes };

constexpr std::uint32_t kEncodingISO2022JP = 2080;
constexpr std::uint32_t kEncodingEBCDIC = 3073;
constexpr std::uint32_t kEncodingEBCDICLatin1 = 3074;

inline bool isEbcdic(std::uint32_t encoding) {
  return encoding == kEncodingEBCDIC || encoding == kEncodingEBCDICLatin1;
}

inline bool isUtf32(std::uint32_t encoding) { return (encoding & ~0xFFu) == kEncodingUTF32; }

inline bool isWide(std::uint32_t encoding) {
  return EncodingIsUTF16Family(encoding) || isUtf32(encoding);
}

inline TextForm formOf(std::uint32_t encoding) {
  if (encoding == kEncodingUTF8) return TextForm::Utf8;
  if (EncodingIsUTF16Family(encoding)) return TextForm::Utf16;
  if (isUtf32(encoding)) return TextForm::Utf32;
  return TextForm::Bytes;
}

// Bytes per character of the fixed-width forms (1 for UTF-8 bytes).
inline std::size_t unitSize(TextForm form) {
  return form == TextForm::Utf16 ? 2 : form == TextForm::Utf32 ? 4 : 1;
}

// Whether text of this encoding made only of bytes below 0x80 reads as ASCII,
// so that it can change its tag without transcoding. Not so for wide text, for
// the EBCDIC code pages and for ISO-2022-JP, whose escape sequences are 7-bit.
inline bool sevenBitIsAscii(std::uint32_t encoding) {
  return !isWide(encoding) && !isEbcdic(encoding) && encoding != kEncodingISO2022JP;
}

// A 16- or 32-bit unit at an address of any alignment (text follows a one-byte
// length field, so it is never aligned).
template <class Unit>
inline Unit loadUnit(const char* p) {
  Unit unit;
  std::memcpy(&unit, p, sizeof unit);
  return unit;
}

}  // namespace rt::text
