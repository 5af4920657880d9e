// The upper-case mapping of code points used by case-insensitive comparison
// and search of UTF-8, UTF-16 and UTF-32 text.
//
// The mapping comes from 724 (character, folded form) rows: the simple
// case-folding pairs of the Basic Multilingual Plane as of Unicode 3.2. A code
// point that is the folded form of some row maps to the lowest character of
// the rows sharing that folded form; everything else, and every code point of
// U+10000 and above, maps to itself. So k maps to K, but the Greek small mu
// maps to U+00B5 (micro sign) and the small iota to U+0345.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace rt::text {

struct CaseFoldingRow {
  char16_t character;
  char16_t folded;
};

// The rows, sorted by character.
std::span<const CaseFoldingRow> caseFoldingRows();

// Indexed by a code point below U+10000.
extern const std::array<char16_t, 0x10000> upperCaseTable;

inline char32_t upperCase(char32_t c) { return c < 0x10000 ? upperCaseTable[c] : c; }

}  // namespace rt::text
