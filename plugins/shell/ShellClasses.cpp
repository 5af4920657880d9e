#include "ShellClasses.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "Shell.h"

namespace vantor::shell {
namespace {

// Layout version of the definition records.
constexpr intptr_t kDefinitionVersion = 9;
constexpr intptr_t kMethodFlags = 4;
// The per-object data compiled subclasses of Shell place their own fields
// after; the fields themselves need less on 32-bit x86.
constexpr std::size_t kShellDataSize = 60;

template <class Function>
void* entry(Function function) {
  return reinterpret_cast<void*>(function);
}

PluginProperty fieldProperty(const char* name, const char* type, bool writable, std::size_t offset) {
  return {"", name, type, 0, kPluginFieldAccess, writable ? kPluginFieldAccess : nullptr,
          static_cast<intptr_t>(offset), {0, 0, 0}};
}

PluginProperty shellProperties[] = {
    {"", "Result", "String", 0, entry(&shellResultGetter), nullptr, 0, {0, 0, 0}},
    {"", "Mode", "Integer", 0, kPluginFieldAccess, entry(&shellModeSetter),
     static_cast<intptr_t>(offsetof(ShellData, mode)), {0, 0, 0}},
    fieldProperty("ErrorCode", "Integer", false, offsetof(ShellData, errorCode)),
    fieldProperty("PID", "Integer", false, offsetof(ShellData, pid)),
    fieldProperty("IsRunning", "Boolean", false, offsetof(ShellData, isRunning)),
    fieldProperty("TimeOut", "Integer", true, offsetof(ShellData, timeOut)),
};

PluginMethod shellMethods[] = {
    {entry(&shellExecute), 0, "Execute(command as String)", kMethodFlags},
    {entry(&shellExecuteWithParameters), 0, "Execute(command as String, parameters as String)",
     kMethodFlags},
    {entry(&shellReadAll), 0, "ReadAll() as String", kMethodFlags},
    {entry(&shellWrite), 0, "Write(s as String)", kMethodFlags},
    {entry(&shellWriteLine), 0, "WriteLine(s as String)", kMethodFlags},
    {entry(&shellClose), 0, "Close", kMethodFlags},
    {entry(&shellPoll), 0, "Poll", kMethodFlags},
};

PluginEvent shellEvents[] = {
    {"DataAvailable()", 0},
    {"Completed()", 0},
};

PluginClassDefinition exceptionDefinition(const char* name) {
  PluginClassDefinition definition{};
  definition.version = kDefinitionVersion;
  definition.name = name;
  definition.superName = "RuntimeException";
  return definition;
}

PluginClassDefinition makeShellDefinition() {
  PluginClassDefinition definition{};
  definition.version = kDefinitionVersion;
  definition.name = "Shell";
  definition.dataSize = std::max(sizeof(ShellData), kShellDataSize);
  definition.constructor = &shellConstructor;
  definition.destructor = &shellDestructor;
  definition.properties = shellProperties;
  definition.propertyCount = std::size(shellProperties);
  definition.methods = shellMethods;
  definition.methodCount = std::size(shellMethods);
  definition.events = shellEvents;
  definition.eventCount = std::size(shellEvents);
  return definition;
}

PluginClassDefinition notRunningDefinition = exceptionDefinition("ShellNotRunningException");
PluginClassDefinition notAvailableDefinition = exceptionDefinition("ShellNotAvailableException");
PluginClassDefinition shellDefinition = makeShellDefinition();

}  // namespace

PluginClassDefinition& shellNotRunningExceptionClass() { return notRunningDefinition; }
PluginClassDefinition& shellNotAvailableExceptionClass() { return notAvailableDefinition; }
PluginClassDefinition& shellClass() { return shellDefinition; }

PluginEvent* dataAvailableEvent() { return &shellEvents[0]; }
PluginEvent* completedEvent() { return &shellEvents[1]; }

ShellData& shellData(PluginObject object) {
  return *reinterpret_cast<ShellData*>(static_cast<char*>(object) + shellDefinition.systemWord);
}

}  // namespace vantor::shell
