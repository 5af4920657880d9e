// InStr (by character, ignoring case) and InStrB (by byte, exact).
#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "text/ByteUpperCase.h"
#include "text/CaseTable.h"
#include "text/EncodingConversion.h"
#include "text/StringFunctionsApi.h"
#include "text/StringStorage.h"
#include "text/TextForm.h"
#include "text/Utf8.h"

namespace rt::text {
namespace {

constexpr std::int64_t kNotFound = 0;

char32_t foldedAt(const char* p, const char* end) {
  return upperCase(utf8::decode(p, end).codePoint);
}

std::int64_t findUtf8(std::string_view source, std::string_view find, std::int64_t start0) {
  const char* const begin = source.data();
  const char* const end = begin + source.size();
  const char* const findEnd = find.data() + find.size();
  const char32_t first = foldedAt(find.data(), findEnd);
  for (const char* p = utf8::advance(begin, end, start0);
       end - p >= static_cast<std::ptrdiff_t>(find.size()); p = utf8::next(p, end)) {
    if (foldedAt(p, end) != first) continue;
    const char* q = utf8::next(p, end);
    const char* f = utf8::next(find.data(), findEnd);
    while (f < findEnd && q < end && foldedAt(q, end) == foldedAt(f, findEnd)) {
      q = utf8::next(q, end);
      f = utf8::next(f, findEnd);
    }
    if (f >= findEnd) return utf8::count(begin, p) + 1;
  }
  return kNotFound;
}

template <class Unit>
std::int64_t findUnits(std::string_view source, std::string_view find, std::int64_t start0) {
  const auto folded = [](std::string_view text, std::size_t i) {
    return upperCase(loadUnit<Unit>(text.data() + i * sizeof(Unit)));
  };
  const std::size_t sourceUnits = source.size() / sizeof(Unit);
  const std::size_t findUnits = find.size() / sizeof(Unit);
  for (auto i = static_cast<std::size_t>(start0); i + findUnits <= sourceUnits; ++i) {
    std::size_t j = 0;
    while (j < findUnits && folded(source, i + j) == folded(find, j)) ++j;
    if (j == findUnits) return static_cast<std::int64_t>(i) + 1;
  }
  return kNotFound;
}

std::int64_t findFoldedBytes(std::string_view source, std::string_view find, std::int64_t start0) {
  const auto folded = [](char c) { return kAsciiUpperCase[static_cast<unsigned char>(c)]; };
  const auto equal = [&](char a, char b) { return folded(a) == folded(b); };
  const auto from = source.begin() + start0;
  const auto found = std::search(from, source.end(), find.begin(), find.end(), equal);
  return found == source.end() ? kNotFound : (found - source.begin()) + 1;
}

// A start beyond the text, or no room left for find, finds nothing. For wide
// text the start counts units.
bool hasRoom(std::size_t sourceSize, std::size_t findSize, std::int64_t start0) {
  const auto size = static_cast<std::int64_t>(sourceSize);
  return start0 < size && size - start0 - static_cast<std::int64_t>(findSize) >= 0;
}

std::int64_t findIgnoringCase(std::int32_t start, RTString source, RTString find) {
  if (source == nullptr) return kNotFound;
  if (find == nullptr) return start;
  const TextPair pair = commonEncoding(source, find);
  const std::int64_t start0 = std::max<std::int64_t>(static_cast<std::int64_t>(start) - 1, 0);
  const TextForm form = formOf(pair.encoding);
  const std::size_t unit = unitSize(form);
  if (!hasRoom(pair.first.size() / unit, pair.second.size() / unit, start0)) return kNotFound;
  if (pair.second.size() < unit) return kNotFound;
  switch (form) {
    case TextForm::Utf8:
      return findUtf8(pair.first, pair.second, start0);
    case TextForm::Utf16:
      return findUnits<char16_t>(pair.first, pair.second, start0);
    case TextForm::Utf32:
      return findUnits<char32_t>(pair.first, pair.second, start0);
    case TextForm::Bytes:
      break;
  }
  return findFoldedBytes(pair.first, pair.second, start0);
}

// Bad-character Boyer-Moore: the window's end moves so that the rightmost
// occurrence in find of the mismatched source byte lines up with it, and
// always at least one byte forward.
std::int64_t boyerMoore(std::string_view source, std::string_view find, std::size_t start0) {
  const std::size_t m = find.size();
  std::array<std::size_t, 256> skip;
  skip.fill(m);
  for (std::size_t j = 0; j < m; ++j) skip[static_cast<unsigned char>(find[j])] = m - 1 - j;
  std::size_t windowEnd = start0 + m - 1;
  while (windowEnd < source.size()) {
    std::size_t k = windowEnd;
    std::size_t j = m;
    while (j > 0 && source[k] == find[j - 1]) {
      --j;
      if (j > 0) --k;
    }
    if (j == 0) return static_cast<std::int64_t>(k) + 1;
    // The mismatch is at find[j - 1] against source[k].
    windowEnd = k + std::max(skip[static_cast<unsigned char>(source[k])], m - (j - 1));
  }
  return kNotFound;
}

std::int64_t plainScan(std::string_view source, std::string_view find, std::size_t start0) {
  const std::size_t last = source.size() - find.size();
  for (std::size_t i = start0; i <= last;) {
    const void* hit = std::memchr(source.data() + i, find[0], last - i + 1);
    if (hit == nullptr) break;
    i = static_cast<std::size_t>(static_cast<const char*>(hit) - source.data());
    if (std::memcmp(source.data() + i + 1, find.data() + 1, find.size() - 1) == 0) {
      return static_cast<std::int64_t>(i) + 1;
    }
    ++i;
  }
  return kNotFound;
}

constexpr std::size_t kShortestSkippedFind = 5;
constexpr std::int64_t kFewestSkippedPositions = 81;

std::int64_t findBytes(std::int32_t start, RTString source, RTString find) {
  if (source == nullptr) return kNotFound;
  if (find == nullptr) return start;
  const std::int64_t start0 = std::max<std::int64_t>(static_cast<std::int64_t>(start) - 1, 0);
  if (!hasRoom(source->length, find->length, start0)) return kNotFound;
  const std::int64_t positions = static_cast<std::int64_t>(source->length) - start0 - find->length;
  const auto offset = static_cast<std::size_t>(start0);
  if (find->length < kShortestSkippedFind || positions < kFewestSkippedPositions) {
    return plainScan(bytes(source), bytes(find), offset);
  }
  return boyerMoore(bytes(source), bytes(find), offset);
}

}  // namespace
}  // namespace rt::text

extern "C" {

int32_t StringInStr(int32_t start, RTString source, RTString find) {
  return static_cast<int32_t>(rt::text::findIgnoringCase(start, source, find));
}

int32_t StringInStrB(int32_t start, RTString source, RTString find) {
  return static_cast<int32_t>(rt::text::findBytes(start, source, find));
}

}  // extern "C"
