// Bringing strings to an encoding: the conversion of one string to a target
// encoding, and the common encoding of two strings that concatenation,
// comparison and search work in.
//
// ASCII text joins UTF-8 and the other ASCII-based encodings by relabelling
// only. Wide text (UTF-16, UTF-32) is always transcoded, never relabelled:
// its bytes below 0x80 are not characters of their own.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/StringBlock.h"
#include "text/StringHandle.h"

namespace rt::text {

// Returns a new reference to s in the target encoding: s itself when the
// target or s is unknown or s is already in the target; a relabelled copy when
// s is ASCII-based text of bytes below 0x80 (or tagged ASCII) and the target is
// ASCII-based; else the transcoded text. The last conversion is cached (a
// reference to its source and one to its result), so converting the same block
// to the same target again returns the same result.
[[nodiscard]] RTString convertEncoding(RTString s, std::uint32_t target);

// Empties the conversion cache, releasing its two references.
void clearConversionCache();

// Two strings' bytes in their common encoding. Each view is the string's own
// bytes (also when only the tag changes) or those of a converted copy held here.
struct TextPair {
  std::uint32_t encoding = 0;
  std::string_view first;
  std::string_view second;
  // Whether either string was UTF-16 or UTF-32 before any conversion.
  bool wideSource = false;
  String firstHolder;
  String secondHolder;
};

// When a conversion fails (no converter, or an empty result) the encoding is
// unknown and both views are the strings' own bytes.
TextPair commonEncoding(RTString first, RTString second);

}  // namespace rt::text
