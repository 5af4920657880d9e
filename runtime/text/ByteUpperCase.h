// Upper-case tables for text whose characters are single bytes.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

namespace rt::text {

// Byte comparison of unequal lengths: a-z and the accented small letters of
// the Mac Roman character set map to their capitals, the dotless i to I.
inline constexpr std::array<unsigned char, 256> kMacRomanUpperCase = [] {
  std::array<unsigned char, 256> table{};
  for (unsigned c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (unsigned c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 'a' + 'A');
  constexpr std::pair<unsigned char, unsigned char> kAccented[] = {
      {0x87, 0xE7}, {0x88, 0xCB}, {0x89, 0xE5}, {0x8A, 0x80}, {0x8B, 0xCC}, {0x8C, 0x81},
      {0x8D, 0x82}, {0x8E, 0x83}, {0x8F, 0xE9}, {0x90, 0xE6}, {0x91, 0xE8}, {0x92, 0xEA},
      {0x93, 0xED}, {0x94, 0xEB}, {0x95, 0xEC}, {0x96, 0x84}, {0x97, 0xEE}, {0x98, 0xF1},
      {0x99, 0xEF}, {0x9A, 0x85}, {0x9B, 0xCD}, {0x9C, 0xF2}, {0x9D, 0xF4}, {0x9E, 0xF3},
      {0x9F, 0x86}, {0xBE, 0xAE}, {0xBF, 0xAF}, {0xCF, 0xCE}, {0xD8, 0xD9}, {0xF5, 'I'},
  };
  for (auto [small, capital] : kAccented) table[small] = capital;
  return table;
}();

// Search in byte text folds what toupper folds in the "C" locale: a-z only.
inline constexpr std::array<unsigned char, 256> kAsciiUpperCase = [] {
  std::array<unsigned char, 256> table{};
  for (unsigned c = 0; c < 256; ++c) {
    table[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  }
  return table;
}();

}  // namespace rt::text
