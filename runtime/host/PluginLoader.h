// Loading the plugin libraries carried in the module's resources.
#pragma once

#include <cstdint>
#include <string>

namespace rt::host {

// One loaded plugin, kept for the life of the process.
struct PluginRecord {
  void* handle = nullptr;
  std::intptr_t sdkVersion = 0;
  std::string extractedPath;  // empty when the library was found beside the executable
  int lockedDescriptor = -1;  // the extracted file, open and locked
};

// Loads every "ZKPl" resource in table order. The first failure is fatal:
// the message goes to standard error and the process ends with status 1.
void loadPlugins();

// The plugin whose main function is running, or null.
PluginRecord* currentLoadingPlugin();

}  // namespace rt::host
