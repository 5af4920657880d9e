#include "host/PluginFunctionGroups.h"

#include "host/FailureReport.h"
#include "host/NameMatching.h"
#include "host/PluginApi.h"
#include "host/PluginLoader.h"

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/plugin";

std::vector<PluginFunctionGroup>& extensions() {
  static std::vector<PluginFunctionGroup> list;
  return list;
}

std::vector<PluginFunctionGroup>& modules() {
  static std::vector<PluginFunctionGroup> list;
  return list;
}

std::vector<PluginMethod>& methods() {
  static std::vector<PluginMethod> list;
  return list;
}

// Registrations count only while a plugin's main function runs.
bool acceptable(const void* definition, const char* name) {
  if (currentLoadingPlugin() != nullptr && definition != nullptr && name != nullptr) return true;
  reportAssertion(kSourceFile, __LINE__, "gCurrentLoadingPlugin && definition");
  return false;
}

}  // namespace

void recordClassExtension(const PluginClassExtensionDefinition* definition) {
  if (!acceptable(definition, definition ? definition->className : nullptr)) return;
  extensions().push_back({definition->className,
                          recordSpan(definition->methods, definition->methodCount),
                          recordSpan(definition->properties, definition->propertyCount)});
}

void recordModule(const PluginModuleDefinition* definition) {
  if (!acceptable(definition, definition ? definition->name : nullptr)) return;
  modules().push_back({definition->name, recordSpan(definition->methods, definition->methodCount),
                       recordSpan(definition->properties, definition->propertyCount)});
}

void recordGlobalMethod(const PluginMethod* method) {
  if (!acceptable(method, method ? method->declaration : nullptr)) return;
  methods().push_back(*method);
}

const std::vector<PluginFunctionGroup>& classExtensions() { return extensions(); }

const std::vector<PluginFunctionGroup>& pluginModules() { return modules(); }

const std::vector<PluginMethod>& globalMethods() { return methods(); }

bool isImplemented(const PluginMethod& method) {
  return method.function != nullptr &&
         method.function != reinterpret_cast<void*>(&TOLVnoImplementation);
}

void* findMethod(std::span<const PluginMethod> candidates, std::string_view name) {
  for (const PluginMethod& method : candidates) {
    if (isImplemented(method) && equalIgnoringCase(declarationName(method.declaration), name)) {
      return method.function;
    }
  }
  return nullptr;
}

}  // namespace rt::host
