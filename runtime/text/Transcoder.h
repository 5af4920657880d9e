// Transcoding between encodings through the C library's iconv.
#pragma once

#include <cstdint>

#include "text/StringBlock.h"

namespace rt::text {

// The iconv name of an encoding word, or null for a word the runtime cannot
// transcode. The unknown word 0xFFFF names the system encoding (UTF-8).
const char* iconvName(std::uint32_t encoding);

// Returns a new reference: the text of s (taken as being in `from`) in `to`,
// tagged `to`. Input that does not fit `from` becomes one "?" per unit. When a
// word has no name, no converter opens or the output overflows, the result is s
// itself, still tagged as it was. An empty output gives the empty string.
[[nodiscard]] RTString transcode(RTString s, std::uint32_t from, std::uint32_t to);

}  // namespace rt::text
