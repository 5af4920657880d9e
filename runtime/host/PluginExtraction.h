// Writing an embedded plugin library to a file of its own so that it can be
// loaded. Extracted files are deleted when the runtime shuts down.
#pragma once

#include <span>
#include <string>
#include <variant>

namespace rt::host {

struct ExtractedFile {
  std::string path;
  int lockedDescriptor;  // open for reading, locked with flock
};

// Extracts the library into the plugin folder under a fresh unique name +
// "_" + fileName; the error text on failure.
std::variant<ExtractedFile, std::string> extractPlugin(const std::string& fileName,
                                                        std::span<const unsigned char> library);

// The folder plugins are extracted to: $HOME/.tmpAppData, else /tmp.
const std::string& pluginFolder();

}  // namespace rt::host
