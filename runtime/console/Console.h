// The console as the application's C++ code uses it.
#pragma once

#include "console/ConsoleApi.h"
#include "text/StringHandle.h"

namespace rt::console {

// Print: the text and a line end; an empty text prints nothing.
inline void printLine(const String& text) { RuntimeConsolePrint(text.get()); }

// Input: the next line, empty at end of input.
inline String readLine() { return String::adopt(RuntimeConsoleInput()); }

// The yield point every loop of the application calls.
inline void yieldPoint() { RuntimeBackgroundTask(); }

}  // namespace rt::console
