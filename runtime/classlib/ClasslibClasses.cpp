#include "classlib/ClasslibClasses.h"

#include "classlib/BlowfishObject.h"
#include "classlib/BoxedValues.h"
#include "classlib/Dictionary.h"
#include "classlib/MemoryBlock.h"

namespace rt::classlib {

void registerClasslibClasses() {
  registerBoxedClasses();
  registerDictionaryClass();
  registerMemoryBlockClass();
  registerBlowfishClass();
}

}  // namespace rt::classlib
