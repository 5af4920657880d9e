// The language's string functions over counted handles, for C++ code. They
// are the character forms compiled code calls (positions 1-based; characters
// are code points in UTF-8 text and bytes in byte text).
#pragma once

#include <cstdint>

#include "text/StringFunctionsApi.h"
#include "text/StringHandle.h"

namespace rt {

inline String left(const String& s, std::int32_t n) {
  return String::adopt(StringDBCSLeft(s.get(), n));
}
inline String right(const String& s, std::int32_t n) {
  return String::adopt(StringDBCSRight(s.get(), n));
}
inline String mid(const String& s, std::int32_t start, std::int32_t count) {
  return String::adopt(StringDBCSMid3(s.get(), start, count));
}
inline std::int32_t len(const String& s) { return StringDBCSLen(s.get()); }
inline std::int32_t asc(const String& s) { return StringDBCSAsc(s.get()); }
inline String chr(std::int32_t code) { return String::adopt(StringDBCSChr(code)); }
// The position of find in source from start on, ignoring case; 0 when absent.
inline std::int32_t inStr(std::int32_t start, const String& source, const String& find) {
  return StringInStr(start, source.get(), find.get());
}
// The byte position of find in source from start on, matching exactly; 0 when absent.
inline std::int32_t inStrB(std::int32_t start, const String& source, const String& find) {
  return StringInStrB(start, source.get(), find.get());
}
inline double val(const String& s) { return StringVal(s.get()); }
// Decimal text of n without blanks.
inline String str(std::int32_t n) { return String::adopt(StringStrInt32(n)); }
inline String str(std::int64_t n) { return String::adopt(StringStrInt64(n)); }

}  // namespace rt
