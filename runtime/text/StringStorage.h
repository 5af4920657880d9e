// Runtime-internal construction of and access to string blocks.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/StringBlock.h"

namespace rt::text {

// Returns a new block holding a copy of the bytes with the given encoding tag,
// or null for no bytes. Never fails: running out of memory, or more bytes than a
// 32-bit length holds, ends the process.
[[nodiscard]] RTString makeString(const void* bytes, std::size_t length, std::uint32_t encoding);
[[nodiscard]] inline RTString makeString(std::string_view bytes, std::uint32_t encoding) {
  return makeString(bytes.data(), bytes.size(), encoding);
}

inline std::uint32_t length(RTString s) { return s ? s->length : 0; }
inline std::string_view bytes(RTString s) {
  return s ? std::string_view(s->text, s->length) : std::string_view();
}

// The encoding of a string; the empty string counts as ASCII.
std::uint32_t encodingOf(RTString s);

// Returns a string that holder may change in place: s itself when holder is its
// only owner, otherwise a private copy that replaces the holder's reference.
RTString& makeUnique(RTString& s);

// Changes one byte of a string whose holder owns it alone (copy on write).
// Writing outside the text is reported as a runtime failure.
void writeByte(RTString& s, std::int32_t position, char value);

}  // namespace rt::text
