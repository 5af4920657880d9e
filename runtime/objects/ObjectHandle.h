// Counted handle for runtime objects.
#pragma once

#include "objects/ObjectModel.h"
#include "objects/Ref.h"

namespace rt {

struct ObjectTraits {
  static void lock(RTObject* object) { RuntimeLockObject(object); }
  static void unlock(RTObject* object) { RuntimeUnlockObject(object); }
};

using Object = Ref<RTObject, ObjectTraits>;

// Creates an object of the class; throws a pending exception.
Object newObject(ClassRecord* cls);

}  // namespace rt
