// Conversion of a string to another encoding for the files subsystem: the
// UTF-8 form of paths and the line ending of text output. Kept local until the
// text subsystem offers the same conversion.
#pragma once

#include <cstdint>

#include "text/StringBlock.h"

namespace rt::files {

// Returns s in the target encoding as a new reference: s itself when nothing
// needs converting or transcoding fails, a relabelled copy when the bytes are
// the same in both, else the transcoded text.
[[nodiscard]] RTString convertEncoding(RTString s, std::uint32_t target);

}  // namespace rt::files
