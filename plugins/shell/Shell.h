// The members of the Shell class, as the runtime and compiled code call them.
#pragma once

#include <cstdint>

#include "PluginSdk.h"

namespace vantor::shell {

void shellConstructor(PluginObject object);
void shellDestructor(PluginObject object);
void shellExecute(PluginObject object, PluginString command);
void shellExecuteWithParameters(PluginObject object, PluginString command, PluginString parameters);
// Returns a new reference to the gathered output and empties the buffer.
PluginString shellReadAll(PluginObject object);
void shellWrite(PluginObject object, PluginString s);
void shellWriteLine(PluginObject object, PluginString s);
void shellClose(PluginObject object);
void shellPoll(PluginObject object);
// Property accessors take the property record's parameter, like the field accessors.
PluginString shellResultGetter(PluginObject object, intptr_t parameter);
void shellModeSetter(PluginObject object, intptr_t parameter, int32_t value);

}  // namespace vantor::shell
