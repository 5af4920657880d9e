#include "host/BuiltinModule.h"

#include "host/HostApi.h"
#include "host/PluginApi.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionHandle.h"
#include "objects/ObjectHandle.h"
#include "text/StringHandle.h"

namespace rt::host {
namespace {

void buildPluginTable(const BuiltinModule& module) {
  const auto count = static_cast<std::int32_t>(module.pluginEntryNames.size());
  void** table = RuntimeAllocatePluginEntrypointsTable(count);
  if (module.pluginEntries != nullptr) *module.pluginEntries = table;
  for (std::int32_t i = 0; i < count; ++i) {
    const String name(module.pluginEntryNames[i]);
    table[i] = RuntimeLookupPluginEntrypoint(name.get());
  }
}

void runModuleMain(const BuiltinModule& module) {
  RuntimeInitExternalClasses();
  throwIfPending();
  buildPluginTable(module);
  ClassRecord* cls = module.applicationClass ? module.applicationClass() : nullptr;
  Object app = cls ? newObject(cls) : Object();
  RuntimeRegisterConsoleAppObject(app.get(), 0);
  throwIfPending();
  RuntimeRun();
  throwIfPending();
}

}  // namespace

std::int32_t enterBuiltinModule(const BuiltinModule& module) {
  RuntimeInit();
  if (module.registerClasses != nullptr) module.registerClasses();
  try {
    runModuleMain(module);
  } catch (const Exception& exception) {
    RuntimeUnhandledException(exception.object().get());
  }
  return RuntimeExit();
}

}  // namespace rt::host
