// Records a plugin hands to the runtime besides its class definitions: exported
// functions, class extensions, modules and class interfaces. Laid out by the
// plugin and read by the runtime; every field is a machine word. A control is
// described by a class definition (PluginSdk.h).
#pragma once

#include <stdint.h>

#include "plugins/sdk/PluginSdk.h"

#ifdef __cplusplus
extern "C" {
#endif

// One function made resolvable by name, for other plugins and for imports.
typedef struct PluginExport {
  const char* name;
  void* function;
} PluginExport;

// Methods and computed properties added to an existing class. The functions
// take the object first; a property's getter and setter are functions
// (field access has no data to address in an extension).
typedef struct PluginClassExtensionDefinition {
  intptr_t version;
  const char* className;
  PluginMethod* methods;
  intptr_t methodCount;
  PluginProperty* properties;
  intptr_t propertyCount;
} PluginClassExtensionDefinition;

// A named group of global methods and computed properties.
typedef struct PluginModuleDefinition {
  intptr_t version;
  const char* name;
  PluginMethod* methods;
  intptr_t methodCount;
  PluginProperty* properties;
  intptr_t propertyCount;
  void* constants;
  intptr_t constantCount;
} PluginModuleDefinition;

// A class interface: method declarations only (the functions are ignored).
typedef struct PluginInterfaceDefinition {
  intptr_t version;
  const char* name;
  PluginMethod* methods;
  intptr_t methodCount;
} PluginInterfaceDefinition;

#ifdef __cplusplus
}
#endif
