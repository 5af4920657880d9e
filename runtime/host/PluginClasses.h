// Classes that plugins register: kept as plugin class records and turned into
// runtime classes once the registering plugin's main function has returned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/PluginLoader.h"
#include "objects/ObjectModel.h"
#include "plugins/sdk/PluginSdk.h"

namespace rt::host {

struct PluginClass {
  PluginClassDefinition* definition;
  PluginRecord* plugin;
  std::string name;
  bool automation;  // one of the office automation classes
  ClassRecord* record = nullptr;
  std::uint32_t firstEvent = 0;  // event number of the definition's first event
};

// Records a class of the plugin being loaded (ignored for SDK versions up to
// 2 and for the names the runtime reserves for its database classes).
void recordPluginClass(PluginRecord* plugin, PluginClassDefinition* definition);

// Makes the class record of an interface the plugin being loaded registers; it
// is found by name like the plugin's classes.
void recordPluginInterface(PluginRecord* plugin, const PluginInterfaceDefinition* definition);

// Makes the runtime classes of everything the plugin registered.
void createPluginClasses(const PluginRecord* plugin);

// Every plugin class recorded so far, in registration order.
const std::vector<PluginClass>& pluginClasses();

// Installs the lookup through which RuntimeLookupClass finds plugin classes.
void installPluginClassLookup();

}  // namespace rt::host
