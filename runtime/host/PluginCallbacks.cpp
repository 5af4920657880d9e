#include "console/EventLoop.h"
#include "host/PluginApi.h"
#include "host/PluginClasses.h"
#include "host/PluginLoader.h"
#include "text/Encodings.h"

extern "C" {

void RegisterPluginVersion(intptr_t version) {
  if (rt::host::PluginRecord* plugin = rt::host::currentLoadingPlugin()) plugin->sdkVersion = version;
}

void PluginRegisterClass(PluginClassDefinition* definition) {
  rt::host::recordPluginClass(rt::host::currentLoadingPlugin(), definition);
}

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

}  // extern "C"
