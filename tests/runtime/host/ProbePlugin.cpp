// A plugin for the host tests: one class, ProbeGadget, with a method, a
// string method, a plain-field property and an event.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plugins/sdk/PluginSdk.h"

namespace {

PluginResolver resolve = nullptr;
std::string loadedFrom;

template <class Function>
Function callback(const char* name) {
  return reinterpret_cast<Function>(resolve(name));
}

intptr_t twice(PluginObject, intptr_t x) { return 2 * x; }

PluginString loadedFromText(PluginObject) {
  return callback<BuildStringFunction>("TOLVBuildString")(loadedFrom.data(),
                                                          static_cast<uint32_t>(loadedFrom.size()));
}

PluginClassDefinition gadget{};

void construct(PluginObject object) {
  const int32_t start = 7;
  std::memcpy(static_cast<char*>(object) + gadget.systemWord, &start, sizeof start);
}

void destroy(PluginObject) { std::puts("gadget destroyed"); }

PluginMethod methods[] = {
    {reinterpret_cast<void*>(&twice), 0, "Twice(x as Integer) as Integer", 4},
    {reinterpret_cast<void*>(&loadedFromText), 0, "LoadedFrom() as String", 4},
};
PluginProperty properties[] = {
    {"", "Counter", "Integer", 0, kPluginFieldAccess, kPluginFieldAccess, 0, {0, 0, 0}},
};
PluginEvent events[] = {{"Ticked()", 0}};

}  // namespace

extern "C" void TOLVPluginMain(PluginResolver resolver) {
  resolve = resolver;
  const char* path = std::getenv("ZKPLUGINPATH");
  loadedFrom = path != nullptr ? path : "";
  gadget = {9, "ProbeGadget", nullptr, 16, 0, &construct, &destroy, properties, 1, methods, 2,
            events, 1, nullptr, 0, kPluginClassConsoleSafe};
  callback<RegisterPluginVersionFunction>("RegisterPluginVersion")(9);
  callback<PluginRegisterClassFunction>("PluginRegisterClass")(&gadget);
  std::printf("plugin main (%s)\n", PROBE_PLUGIN_VARIANT);
  std::fflush(stdout);
}
