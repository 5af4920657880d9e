// The class definition records the plugin hands to the runtime.
#pragma once

#include "PluginSdk.h"
#include "ShellData.h"

namespace vantor::shell {

PluginClassDefinition& shellNotRunningExceptionClass();
PluginClassDefinition& shellNotAvailableExceptionClass();
PluginClassDefinition& shellClass();

PluginEvent* dataAvailableEvent();
PluginEvent* completedEvent();

// The Shell data of an object, found at the offset the runtime assigned.
ShellData& shellData(PluginObject object);

}  // namespace vantor::shell
