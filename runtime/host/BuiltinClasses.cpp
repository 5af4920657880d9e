#include "host/BuiltinClasses.h"

#include "classlib/ClasslibClasses.h"
#include "console/ConsoleApplication.h"
#include "files/FileObjects.h"
#include "files/FolderItemApi.h"
#include "host/CommandLine.h"
#include "host/HostApi.h"
#include "host/PluginLoader.h"
#include "numbers/DateObject.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "text/StringHandle.h"
#include "text/TextEncodingClass.h"

namespace rt::host {

void registerBuiltinClasses() {
  exceptions::registerExceptionClasses();
  console::registerConsoleClasses();
  objects::registerClassDefinition(text::textEncodingClass);
  files::registerFileClasses();
  dates::registerDateClass();
  classlib::registerClasslibClasses();
}

}  // namespace rt::host

extern "C" {

// The files subsystem has no special-folder implementation to construct;
// what the module needs from it is that relative names resolve against the
// folder of the program as start-up resolved it (a link's own folder, not
// its target's), so that folder is handed over here.
void RuntimeInit(void) {
  const rt::String folder(rt::host::applicationFolder());
  RuntimeSetApplicationPath(folder.get());
}

void RuntimeInitExternalClasses(void) {
  rt::host::registerBuiltinClasses();
  rt::host::loadPlugins();
}

}  // extern "C"
