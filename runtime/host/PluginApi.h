// Entry points of the plugin host: the plugin entry table compiled code calls
// plugin functions through, and the callbacks plugins resolve by name.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "plugins/sdk/PluginSdk.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Returns a new zero-filled table of count pointers (null for 0), owned by the module.
void** RuntimeAllocatePluginEntrypointsTable(int32_t count);
// Returns the function registered under the entry name ("Class.member"), or
// null for "_" and for unknown names (reported).
void* RuntimeLookupPluginEntrypoint(RTString name);

// Stores the SDK version of the plugin being loaded.
void RegisterPluginVersion(intptr_t version);
// Records a class of the plugin being loaded; its class record is made when
// the plugin's main function has returned. The definition is borrowed for the
// life of the process.
void PluginRegisterClass(PluginClassDefinition* definition);
// Returns the positive id of a new background task calling task(data).
intptr_t PluginRegisterBackgroundTask(void (*task)(void* data), intptr_t period, void* data);
void PluginUnregisterBackgroundTask(intptr_t id);
// Returns the handler installed for a plugin event on object, or null.
void* GetEventInstance(RTObject* object, PluginEvent* event);
// Returns the encoding word of a font's text: the system encoding, UTF-8.
uint32_t TOLVGetFontEncoding(const char* fontName);

#ifdef __cplusplus
}
#endif
