#include "files/ApplicationFolder.h"

#include <optional>

#include "host/CommandLine.h"

namespace rt::files {
namespace {

std::optional<std::string>& cachedFolder() {
  static std::optional<std::string> folder;
  return folder;
}

std::string withoutTrailingSlashes(std::string_view path) {
  while (!path.empty() && path.back() == '/') path.remove_suffix(1);
  return std::string(path);
}

}  // namespace

// The program path is argv[0] as start-up left it, the same one plugins are
// looked for beside; a relative one is taken against the current directory of
// the first call, and the answer kept.
const std::string& applicationFolder() {
  std::optional<std::string>& folder = cachedFolder();
  if (!folder) folder = withoutTrailingSlashes(host::applicationFolder());
  return *folder;
}

void setApplicationFolder(std::string_view folder) {
  cachedFolder() = withoutTrailingSlashes(folder);
}

}  // namespace rt::files
