#include "host/HostMain.h"

#include "host/CommandLine.h"
#include "host/FileSizeSignal.h"
#include "host/HostApi.h"
#include "host/TerminationSignals.h"
#include "objects/ExceptionClasses.h"

namespace rt::host {
namespace {

constexpr std::uint32_t kStackBudget = 0x40000;

BuiltinEntry registeredEntry = nullptr;

}  // namespace

int runMain(int argc, char** argv, BuiltinEntry entry) {
  setCommandLine(argc, argv);
  RuntimePreInit();
  const char* path = ResolveExecutablePath(argc > 0 ? argv[0] : nullptr);
  installTerminationHandlers();
  installFileSizeSignalHandler();
  registeredEntry = entry;
  LoadModuleImage(path);
  return 0;
}

BuiltinEntry builtinEntry() { return registeredEntry; }

}  // namespace rt::host

extern "C" void RuntimePreInit(void) {
  rt::exceptions::setUnhandledExceptionHook(&DefaultUnhandledExceptionHandler);
  TOLVInitStackChecker(rt::host::kStackBudget, 0);
}
