// Reading standard input for the Input function and StandardInputStream.
// One pending byte is shared by both: the byte read after a lone carriage
// return, handed out first by the next read.
#pragma once

#include <cstdint>

#include "text/StringBlock.h"

namespace rt::console {

// The next line of standard input without its end, tagged ASCII (new reference).
RTString readInputLine();

// The pending byte, then count bytes (count < 1: up to end of input), tagged
// ASCII (new reference).
RTString readInputBytes(std::int32_t count);

}  // namespace rt::console
