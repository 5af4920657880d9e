// Entry point of the shell plugin: the runtime calls it once, right after
// loading the library, with the resolver for its services.
#include "PluginSdk.h"
#include "RuntimeCallbacks.h"
#include "ShellClasses.h"

namespace {

constexpr intptr_t kPluginSdkVersion = 9;

}  // namespace

extern "C" __attribute__((visibility("default"))) void TOLVPluginMain(PluginResolver resolver) {
  using namespace vantor::shell;
  resolveCallbacks(resolver);
  registerPluginVersion(kPluginSdkVersion);
  for (PluginClassDefinition* definition :
       {&shellNotRunningExceptionClass(), &shellNotAvailableExceptionClass(), &shellClass()}) {
    definition->flags |= kPluginClassConsoleSafe;
    registerClass(definition);
  }
}
