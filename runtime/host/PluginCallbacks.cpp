#include "console/EventLoop.h"
#include "console/Scheduler.h"
#include "host/IntrinsicTable.h"
#include "host/PluginApi.h"
#include "host/PluginClasses.h"
#include "host/PluginFunctionGroups.h"
#include "host/PluginLoader.h"
#include "objects/ExceptionClasses.h"
#include "text/Encodings.h"

namespace {

// The layout version of the class definitions this runtime reads.
constexpr intptr_t kRuntimeSdkVersion = 9;

}  // namespace

extern "C" {

void RegisterPluginVersion(intptr_t version) {
  if (rt::host::PluginRecord* plugin = rt::host::currentLoadingPlugin()) plugin->sdkVersion = version;
}

void RegisterPluginExports(const PluginExport* exports, intptr_t count) {
  for (const PluginExport& exported : rt::host::recordSpan(exports, count)) {
    if (exported.name != nullptr && exported.function != nullptr) {
      rt::intrinsics::registerFunction(exported.name, exported.function);
    }
  }
}

void PluginRegisterClass(PluginClassDefinition* definition) {
  rt::host::recordPluginClass(rt::host::currentLoadingPlugin(), definition);
}

void PluginRegisterControl(PluginClassDefinition* definition) { PluginRegisterClass(definition); }

void PluginRegisterClassExtension(PluginClassExtensionDefinition* definition) {
  rt::host::recordClassExtension(definition);
}

void PluginRegisterModule(PluginModuleDefinition* definition) { rt::host::recordModule(definition); }

void PluginRegisterMethod(PluginMethod* method) { rt::host::recordGlobalMethod(method); }

void PluginRegisterInterface(PluginInterfaceDefinition* definition) {
  rt::host::recordPluginInterface(rt::host::currentLoadingPlugin(), definition);
}

void TOLVnoImplementation(void) { rt::exceptions::raise(rt::exceptions::functionNotFoundException); }

intptr_t PluginRegisterBackgroundTask(void (*task)(void* data), intptr_t period, void* data) {
  if (task == nullptr) return 0;
  return rt::console::addBackgroundTask([task, data] { task(data); },
                                        static_cast<std::int32_t>(period));
}

void PluginUnregisterBackgroundTask(intptr_t id) {
  rt::console::removeBackgroundTask(static_cast<std::int32_t>(id));
}

// Every font's text is in the system encoding, so text a plugin converts for
// the operating system stays UTF-8.
uint32_t TOLVGetFontEncoding(const char*) { return kEncodingSystem; }

// A background task that yields would otherwise start a pass inside its own
// pass and run itself again, without end.
void TOLVYieldToZK(void) {
  if (rt::console::processingEvents()) {
    rt::console::scheduler().yieldToNextThread();
    return;
  }
  rt::console::processEvents();
}

intptr_t TOLVGetRuntimeVersion(void) { return kRuntimeSdkVersion; }

}  // extern "C"
