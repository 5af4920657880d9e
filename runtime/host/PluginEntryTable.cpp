#include <cstdlib>
#include <string>
#include <unordered_map>

#include "host/FailureReport.h"
#include "host/PluginApi.h"
#include "host/PluginClasses.h"
#include "text/StringStorage.h"

namespace rt::host {
namespace {

using EntryTable = std::unordered_map<std::string, void*>;

std::string eventName(const char* declaration) {
  const std::string text = declaration != nullptr ? declaration : "";
  return text.substr(0, text.find('('));
}

void addClassEntries(EntryTable& table, const PluginClass& pluginClass) {
  const PluginClassDefinition& definition = *pluginClass.definition;
  const std::string prefix = pluginClass.name + ".";
  if (definition.constructor != nullptr) {
    table.emplace(prefix + "__init", reinterpret_cast<void*>(definition.constructor));
  }
  if (definition.destructor != nullptr) {
    table.emplace(prefix + "__exit", reinterpret_cast<void*>(definition.destructor));
  }
  for (std::intptr_t i = 0; i < definition.methodCount; ++i) {
    const PluginMethod& method = definition.methods[i];
    if (method.function != nullptr && method.declaration != nullptr) {
      table.emplace(prefix + method.declaration, method.function);
    }
  }
  for (std::intptr_t i = 0; i < definition.propertyCount; ++i) {
    const PluginProperty& property = definition.properties[i];
    if (property.name == nullptr) continue;
    if (property.getter != nullptr && property.getter != kPluginFieldAccess) {
      table.emplace(prefix + property.name + ".Get", property.getter);
    }
    if (property.setter != nullptr && property.setter != kPluginFieldAccess) {
      table.emplace(prefix + property.name + ".Set", property.setter);
    }
  }
  // An event's entry is its record, the handle GetEventInstance takes.
  for (std::intptr_t i = 0; i < definition.eventCount; ++i) {
    table.emplace(prefix + "Events." + eventName(definition.events[i].declaration),
                  &definition.events[i]);
  }
}

// Built on first use, when every plugin has registered its classes.
const EntryTable& entryTable() {
  static const EntryTable table = [] {
    EntryTable built;
    for (const PluginClass& pluginClass : pluginClasses()) addClassEntries(built, pluginClass);
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
