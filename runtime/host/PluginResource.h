// The plugin container: a "ZKPl" resource holds a length byte, the library's
// file name and then the library itself.
#pragma once

#include <span>
#include <string>
#include <variant>

#include "host/ResourceTable.h"

namespace rt::host {

struct PluginFile {
  std::string name;                         // a plain file name, never a path
  std::span<const unsigned char> library;  // into the resource's bytes
};

// The file name and library of a plugin resource; the error text when the
// record is malformed or its name is no plain file name (it is joined to the
// application and the plugin folders).
std::variant<PluginFile, std::string> parsePluginResource(const Resource& resource);

}  // namespace rt::host
