#include "host/PluginResource.h"

namespace rt::host {
namespace {

bool isPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

}  // namespace

std::variant<PluginFile, std::string> parsePluginResource(const Resource& resource) {
  if (resource.length < 1 || resource.bytes[0] > resource.length - 1) {
    return std::string("The plugin resource is malformed.");
  }
  const std::size_t nameLength = resource.bytes[0];
  PluginFile file{std::string(reinterpret_cast<const char*>(resource.bytes + 1), nameLength),
                  std::span(resource.bytes + 1 + nameLength, resource.length - 1 - nameLength)};
  if (!isPlainFileName(file.name)) return "Invalid plugin file name \"" + file.name + "\".";
  return file;
}

}  // namespace rt::host
