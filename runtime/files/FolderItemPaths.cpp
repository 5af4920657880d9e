#include <cctype>
#include <optional>
#include <string>
#include <string_view>

#include "files/ApplicationFolder.h"
#include "files/FileObjects.h"
#include "files/FolderItemApi.h"
#include "objects/ExceptionClasses.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"

namespace rt::files {
namespace {

enum PathType : std::int32_t { kNativePath = 0, kShellPath = 1, kUrlPath = 2 };

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

std::optional<std::string> percentDecoded(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
        !std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      return std::nullopt;
    }
    decoded += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
    i += 2;
  }
  return decoded;
}

// Only file URLs of this machine name native paths: "file:/p", "file:///p"
// and "file://localhost/p".
std::optional<std::string> nativePathOfUrl(std::string_view url) {
  if (!startsWithIgnoringCase(url, "file:")) return std::nullopt;
  url.remove_prefix(5);
  if (url.starts_with("//")) {
    url.remove_prefix(2);
    const std::size_t slash = url.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view host = url.substr(0, slash);
    const bool local = host.empty() || (host.size() == 9 && startsWithIgnoringCase(host, "localhost"));
    if (!local) return std::nullopt;
    url.remove_prefix(slash);
  }
  if (!url.starts_with('/')) return std::nullopt;
  return percentDecoded(url);
}

RTObject* folderItemFor(std::string_view path, std::int32_t pathType) {
  std::optional<std::string> native;
  switch (pathType) {
    case kNativePath:
      native = std::string(path);
      break;
    case kShellPath:
      if (!path.starts_with('/')) {
        RTString message = text::makeString(
            "Passing non-absolute shell paths is not currently supported", kEncodingUTF8);
        exceptions::raise(exceptions::unsupportedFormatException, 0, message);
        RuntimeUnlockString(message);
        return nullptr;
      }
      native = std::string(path);
      break;
    case kUrlPath:
      native = nativePathOfUrl(path);
      break;
    default:
      return nullptr;
  }
  // A zero byte would cut the path short at every system call.
  if (!native || native->find('\0') != std::string::npos) return nullptr;
  auto imp = FolderItemImpUnix::resolve(*native);
  return imp != nullptr ? newFolderItem(std::move(imp)) : nullptr;
}

}  // namespace
}  // namespace rt::files

extern "C" {

RTObject* RuntimeGetFolderItem(RTString path, int32_t pathType) {
  RTString utf8 = rt::text::convertEncoding(path, kEncodingUTF8);
  RTObject* item = rt::files::folderItemFor(rt::text::bytes(utf8), pathType);
  RuntimeUnlockString(utf8);
  return item;
}

void RuntimeSetApplicationPath(RTString folder) {
  RTString utf8 = rt::text::convertEncoding(folder, kEncodingUTF8);
  rt::files::setApplicationFolder(rt::text::bytes(utf8));
  RuntimeUnlockString(utf8);
}

}  // extern "C"
