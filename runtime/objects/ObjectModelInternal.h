// Shared between the object model's source files; not for other subsystems.
#pragma once

#include "objects/ObjectModel.h"

namespace rt::objects {

// Head of the process-wide class list (newest first).
ClassRecord*& classListHead();
void pushClass(ClassRecord* cls);

}  // namespace rt::objects
