// Functions plugins register outside their classes: class extensions, modules
// and global methods. They get no class records; compiled code reaches them
// through the plugin entry table, plugins through TOLVLoadObjectMethod and
// TOLVLoadGlobalMethod.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plugins/sdk/PluginSdk.h"

namespace rt::host {

struct PluginFunctionGroup {
  std::string name;  // the class extended, or the module
  std::span<const PluginMethod> methods;
  std::span<const PluginProperty> properties;
};

// The records of a plugin's array; empty for null or a count below 1.
template <class Record>
std::span<const Record> recordSpan(const Record* first, intptr_t count) {
  if (first == nullptr || count <= 0) return {};
  return {first, static_cast<std::size_t>(count)};
}

// Each records what the plugin being loaded registers; outside a plugin's
// main function, or with a definition missing its name, it is reported.
void recordClassExtension(const PluginClassExtensionDefinition* definition);
void recordModule(const PluginModuleDefinition* definition);
void recordGlobalMethod(const PluginMethod* method);

const std::vector<PluginFunctionGroup>& classExtensions();
const std::vector<PluginFunctionGroup>& pluginModules();
const std::vector<PluginMethod>& globalMethods();

// Whether the method has a function other than the no-implementation marker.
bool isImplemented(const PluginMethod& method);

// The function of the first implemented method whose declaration has this
// name (ignoring case), or null.
void* findMethod(std::span<const PluginMethod> methods, std::string_view name);

}  // namespace rt::host
