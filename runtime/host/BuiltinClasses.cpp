#include "host/BuiltinClasses.h"

#include "console/ConsoleApplication.h"
#include "host/HostApi.h"
#include "host/PluginLoader.h"
#include "files/FileObjects.h"
#include "numbers/DateObject.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "text/TextEncodingClass.h"

namespace rt::host {

void registerBuiltinClasses() {
  exceptions::registerExceptionClasses();
  console::registerConsoleClasses();
  objects::registerClassDefinition(text::textEncodingClass);
  files::registerFileClasses();
  dates::registerDateClass();
}

}  // namespace rt::host

extern "C" {

// Folder items have nothing to prepare for the module yet: the default
// implementation is built on first use.
void RuntimeInit(void) {}

void RuntimeInitExternalClasses(void) {
  rt::host::registerBuiltinClasses();
  rt::host::loadPlugins();
}

}  // extern "C"
