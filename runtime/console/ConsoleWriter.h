// The console writer every console output goes through.
#pragma once

#include <cstdio>

#include "text/StringBlock.h"

namespace rt::console {

// Writes s to the stream and flushes it; nil writes nothing. Text held in a
// wide encoding (UTF-16, UTF-32) is written in the system encoding, UTF-8;
// every other string is written as its bytes.
void writeText(std::FILE* stream, RTString s);

}  // namespace rt::console
