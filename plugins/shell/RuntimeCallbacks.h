// The runtime services the plugin uses, resolved by name once at load time.
// A service the runtime does not offer is treated as absent: the wrappers
// below then do nothing, or the nearest harmless thing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "PluginSdk.h"

namespace vantor::shell {

void resolveCallbacks(PluginResolver resolver);

void registerPluginVersion(intptr_t version);
void registerClass(PluginClassDefinition* definition);
// Returns the task id, or 0 when the runtime runs no background tasks.
intptr_t registerBackgroundTask(void (*task)(void* data), intptr_t period, void* data);
void unregisterBackgroundTask(intptr_t id);
// Calls the handler installed for the event on the object, if any.
void raiseEvent(PluginObject object, PluginEvent* event);

// Returns a new reference to an untagged string of the bytes (null when empty).
PluginString buildString(const void* bytes, std::size_t length);
void lockString(PluginString s);
void unlockString(PluginString s);
// The bytes of s as they are, up to the first zero byte.
std::string stringBytes(PluginString s);
// The text of s converted to the encoding of the "System" font, for a command line.
std::string commandLineBytes(PluginString s);

}  // namespace vantor::shell
