// The vantor executable: the runtime host with the application module built
// in. Its ".zk" section carries the module's resources (the shell plugin) and
// options, and no code: the loader then enters the routine below.
#include <cstdint>

#include "AppClass.h"
#include "ModuleGlobals.h"
#include "Shell.h"
#include "host/BuiltinModule.h"
#include "host/HostMain.h"

namespace {

// The application's exit code, as RuntimeExit hands it to the module.
std::int32_t applicationExitCode = 0;

void registerClasses() {
  vantor::app::registerAppClass();
  vantor::app::createModuleGlobals();
}

void enterModule() {
  static const rt::host::BuiltinModule module{&registerClasses, &vantor::app::appClass,
                                              vantor::app::shellEntryNames(),
                                              vantor::app::shellEntryTable()};
  applicationExitCode = rt::host::enterBuiltinModule(module);
  vantor::app::releaseModuleGlobals();
}

}  // namespace

int main(int argc, char** argv) { return rt::host::runMain(argc, argv, &enterModule); }
