// The entry routine of a module built into the executable, in the call order
// every module entry routine follows.
#pragma once

#include <cstdint>
#include <span>

#include "objects/ObjectModel.h"

namespace rt::host {

struct BuiltinModule {
  // Registers the module's own classes, the application class first (may be null).
  void (*registerClasses)();
  // The application class; null: a plain ConsoleApplication is made.
  ClassRecord* (*applicationClass)();
  // Plugin entry names, looked up into pluginEntries in this order.
  std::span<const char* const> pluginEntryNames;
  void*** pluginEntries;
};

// RuntimeInit, the classes, then inside one handler the external classes, the
// plugin entry table, the application object and Run; returns RuntimeExit.
std::int32_t enterBuiltinModule(const BuiltinModule& module);

}  // namespace rt::host
