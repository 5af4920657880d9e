#include <cstdlib>
#include <span>
#include <string>
#include <unordered_map>

#include "host/FailureReport.h"
#include "host/NameMatching.h"
#include "host/PluginApi.h"
#include "host/PluginClasses.h"
#include "host/PluginFunctionGroups.h"
#include "text/StringStorage.h"

namespace rt::host {
namespace {

using EntryTable = std::unordered_map<std::string, void*>;

void addMethods(EntryTable& table, const std::string& prefix, std::span<const PluginMethod> methods) {
  for (const PluginMethod& method : methods) {
    if (isImplemented(method) && method.declaration != nullptr) {
      table.emplace(prefix + method.declaration, method.function);
    }
  }
}

void addProperties(EntryTable& table, const std::string& prefix,
                   std::span<const PluginProperty> properties) {
  for (const PluginProperty& property : properties) {
    if (property.name == nullptr) continue;
    if (property.getter != nullptr && property.getter != kPluginFieldAccess) {
      table.emplace(prefix + property.name + ".Get", property.getter);
    }
    if (property.setter != nullptr && property.setter != kPluginFieldAccess) {
      table.emplace(prefix + property.name + ".Set", property.setter);
    }
  }
}

// Classes and controls.
void addClassEntries(EntryTable& table, const PluginClass& pluginClass) {
  const PluginClassDefinition& definition = *pluginClass.definition;
  const std::string prefix = pluginClass.name + ".";
  if (definition.constructor != nullptr) {
    table.emplace(prefix + "__init", reinterpret_cast<void*>(definition.constructor));
  }
  if (definition.destructor != nullptr) {
    table.emplace(prefix + "__exit", reinterpret_cast<void*>(definition.destructor));
  }
  addMethods(table, prefix, recordSpan(definition.methods, definition.methodCount));
  addProperties(table, prefix, recordSpan(definition.properties, definition.propertyCount));
  // An event's entry is its record, the handle GetEventInstance takes.
  for (const PluginEvent& event : recordSpan(definition.events, definition.eventCount)) {
    table.emplace(prefix + "Events." + std::string(declarationName(event.declaration)),
                  const_cast<PluginEvent*>(&event));
  }
}

// Class extensions and modules: their name, a dot and the member.
void addGroupEntries(EntryTable& table, const PluginFunctionGroup& group) {
  addMethods(table, group.name + ".", group.methods);
  addProperties(table, group.name + ".", group.properties);
}

// Built on first use, when every plugin has registered its classes.
const EntryTable& entryTable() {
  static const EntryTable table = [] {
    EntryTable built;
    for (const PluginClass& pluginClass : pluginClasses()) addClassEntries(built, pluginClass);
    for (const PluginFunctionGroup& group : classExtensions()) addGroupEntries(built, group);
    for (const PluginFunctionGroup& group : pluginModules()) addGroupEntries(built, group);
    // Global methods go by their declaration alone.
    addMethods(built, "", globalMethods());
    return built;
  }();
  return table;
}

}  // namespace
}  // namespace rt::host

extern "C" {

void** RuntimeAllocatePluginEntrypointsTable(int32_t count) {
  if (count <= 0) return nullptr;
  return static_cast<void**>(std::calloc(static_cast<std::size_t>(count), sizeof(void*)));
}

void* RuntimeLookupPluginEntrypoint(RTString name) {
  const std::string wanted(rt::text::bytes(name));
  if (wanted == "_") return nullptr;
  const auto& table = rt::host::entryTable();
  if (const auto found = table.find(wanted); found != table.end()) return found->second;
  rt::reportAssertion("../Common/plugin", __LINE__, "pluginEntryTable.GetEntry( entrypointName, out )",
                      ("can't find plugin method " + wanted).c_str());
  return nullptr;
}

}  // extern "C"
