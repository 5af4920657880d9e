// Reading standard input for the Input function and StandardInputStream.
// One pending byte is shared by both: the byte read after a lone carriage
// return, handed out first by the next read. When a person types at a
// terminal, lines come through the line editor instead (LineEditor.h).
#pragma once

#include <cstdint>

#include "text/StringBlock.h"

namespace rt::console {

// The next line of standard input without its end, tagged ASCII (new reference).
RTString readInputLine();

// Whether standard input has reached its end (EOF, Ctrl-D at the editor).
bool inputAtEnd();

// The pending byte, then count bytes (count < 1: up to end of input), tagged
// ASCII (new reference).
RTString readInputBytes(std::int32_t count);

}  // namespace rt::console
