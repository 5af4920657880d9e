// Walking UTF-8 text without validating it. A character starts at every byte
// that is not of the form 10xxxxxx; a stray continuation byte belongs to the
// character before it.
#pragma once

namespace rt::text::utf8 {

inline bool isContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The start of the character after the one at p.
inline const char* next(const char* p, const char* end) {
  ++p;
  while (p < end && isContinuation(*p)) ++p;
  return p;
}

// The start of the character before p.
inline const char* previous(const char* begin, const char* p) {
  --p;
  while (p > begin && isContinuation(*p)) --p;
  return p;
}

struct Decoded {
  char32_t codePoint;
  int length;  // bytes the lead byte announces, cut short at the end of the text
};

// Reads a lead byte 110xxxxx as 2 bytes, 1110xxxx as 3 and any other byte of
// 0x80 and above as 4, taking the low 6 bits of each following byte unchecked.
inline Decoded decode(const char* p, const char* end) {
  const auto lead = static_cast<unsigned char>(*p);
  if (lead < 0x80) return {lead, 1};
  int length = 4;
  char32_t c = lead & 0x07;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    c = lead & 0x0F;
  }
  int read = 1;
  for (; read < length && p + read < end; ++read) {
    c = (c << 6) | (static_cast<unsigned char>(p[read]) & 0x3F);
  }
  return {c, read};
}

// The number of characters in the text.
inline long count(const char* p, const char* end) {
  long n = 0;
  for (; p < end; ++p) n += !isContinuation(*p);
  return n;
}

// The lead byte of a text's first character. Continuation bytes before it
// have no character before them and belong to the first one, as count has it.
inline const char* firstLead(const char* begin, const char* end) {
  while (begin < end && isContinuation(*begin)) ++begin;
  return begin;
}

// The position reached by stepping n characters forward from p, stopping at
// end; p is the start of a text or of a character.
inline const char* advance(const char* p, const char* end, long n) {
  if (n > 0) p = firstLead(p, end);
  for (; n > 0 && p < end; --n) p = next(p, end);
  return p;
}

}  // namespace rt::text::utf8
