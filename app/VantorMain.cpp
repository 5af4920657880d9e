// The vantor executable: the runtime host with the application module built
// in. Its ".zk" section carries the module's resources (the shell plugin) and
// options, and no code: the loader then enters the routine below.
#include <cstdint>

#include "host/BuiltinModule.h"
#include "host/HostMain.h"

namespace {

// The application's exit code, as RuntimeExit hands it to the module.
std::int32_t applicationExitCode = 0;

void enterModule() {
  static const rt::host::BuiltinModule module{nullptr, nullptr, {}, nullptr};
  applicationExitCode = rt::host::enterBuiltinModule(module);
}

}  // namespace

int main(int argc, char** argv) { return rt::host::runMain(argc, argv, &enterModule); }
