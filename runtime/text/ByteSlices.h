// The byte ranges every Left, Right and Mid reduces to. Offsets are 0-based;
// out-of-range positions and counts clamp. Each returns a new reference,
// which is s itself when the range covers all of it; a copy keeps s's encoding.
#pragma once

#include <cstdint>

#include "text/StringBlock.h"

namespace rt::text {

// The first n bytes.
[[nodiscard]] RTString leftBytes(RTString s, std::int64_t n);
// The last n bytes.
[[nodiscard]] RTString rightBytes(RTString s, std::int64_t n);
// count bytes from start0; a negative start0 shortens count by as much.
[[nodiscard]] RTString midBytes(RTString s, std::int64_t start0, std::int64_t count);
// The bytes from start0 (0 if negative) to the end.
[[nodiscard]] RTString restBytes(RTString s, std::int64_t start0);

}  // namespace rt::text
