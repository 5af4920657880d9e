#include "files/ApplicationFolder.h"

#include <climits>
#include <optional>
#include <unistd.h>
#include <vector>

namespace rt::files {
namespace {

std::optional<std::string>& cachedFolder() {
  static std::optional<std::string> folder;
  return folder;
}

std::string programPath() {
  std::vector<char> buffer(PATH_MAX);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) break;
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
  // Without /proc the current directory is the best remaining guess.
  if (getcwd(buffer.data(), buffer.size()) != nullptr) return std::string(buffer.data()) + "/";
  return "/";
}

std::string withoutTrailingSlashes(std::string_view path) {
  while (!path.empty() && path.back() == '/') path.remove_suffix(1);
  return std::string(path);
}

}  // namespace

const std::string& applicationFolder() {
  std::optional<std::string>& folder = cachedFolder();
  if (!folder) {
    const std::string program = programPath();
    folder = withoutTrailingSlashes(program.substr(0, program.rfind('/') + 1));
  }
  return *folder;
}

void setApplicationFolder(std::string_view folder) {
  cachedFolder() = withoutTrailingSlashes(folder);
}

}  // namespace rt::files
