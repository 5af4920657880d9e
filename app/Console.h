// The tool's console: every message goes to standard output a line at a
// time, every command comes from standard input.
#pragma once

#include <span>

#include "text/StringHandle.h"

namespace vantor::app {

// Writes the line and a line feed; the empty string writes nothing at all,
// so a blank line is printed as a line holding one space.
void print(const rt::String& line);
void printLines(std::span<const char* const> lines);

// The next line of standard input without its line end ("" at the end).
rt::String input();
// Whether standard input has reached its end.
bool inputEnded();

}  // namespace vantor::app
