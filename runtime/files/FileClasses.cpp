#include "files/FileObjects.h"
#include "objects/ClassRegistry.h"

namespace rt::files {

void registerFileClasses() {
  for (const ClassDefinition* definition :
       {&folderItemClass, &binaryStreamClass, &textInputStreamClass, &textOutputStreamClass}) {
    objects::registerClassDefinition(*definition);
  }
}

}  // namespace rt::files
