// The internal class _Blowfish: an object holding one key schedule, all zero
// until a key is set.
#pragma once

#include "classlib/Blowfish.h"
#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::classlib {

struct BlowfishObject {
  RTObject header;
  BlowfishSchedule schedule;
};

extern const ClassDefinition blowfishClass;

void registerBlowfishClass();

}  // namespace rt::classlib
