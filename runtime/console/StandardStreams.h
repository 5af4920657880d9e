// The standard stream objects: one StandardInputStream and two
// StandardOutputStream objects (standard output and standard error), made on
// first request and kept for the life of the process.
#pragma once

#include <cstdint>

#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

extern "C" {

typedef struct StandardOutputStreamObject {
  RTObject header;
  uint8_t toStandardOutput;  // false: the object writes to standard error
} StandardOutputStreamObject;

}

namespace rt::console {

extern const ClassDefinition standardInputStream;
extern const ClassDefinition standardOutputStream;

}  // namespace rt::console
