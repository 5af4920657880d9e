// The plugin container on arbitrary resource records: each "ZKPl" record is
// parsed, and a well-formed one is extracted as the loader extracts it, then
// removed again by the shutdown list. The name must stay a plain file name in
// the plugin folder, the extracted file must hold exactly the library and stay
// locked, and nothing may be left behind.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>

#include "host/PluginExtraction.h"
#include "host/PluginResource.h"
#include "host/ResourceTable.h"
#include "host/ShutdownList.h"
#include "support/FuzzRuntime.h"

namespace {

using vantor::fuzz::check;

std::string contentsOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool isLockedElsewhere(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  const bool locked = flock(descriptor, LOCK_EX | LOCK_NB) != 0;
  close(descriptor);
  return locked;
}

void extract(const rt::host::PluginFile& file) {
  const auto extracted = rt::host::extractPlugin(file.name, file.library);
  const auto* done = std::get_if<rt::host::ExtractedFile>(&extracted);
  if (done == nullptr) {
    // A name too long for the file system: the loader reports the text.
    check(!std::get<std::string>(extracted).empty(), "a failed extraction gave no error text");
    check(std::filesystem::is_empty(rt::host::pluginFolder()), "a failed extraction left a file behind");
    return;
  }
  const std::filesystem::path path(done->path);
  check(path.parent_path() == rt::host::pluginFolder(), "a plugin was extracted outside the plugin folder");
  const std::string name = path.filename().string();
  check(name.size() == 8 + file.name.size() && name[7] == '_' && name.substr(8) == file.name,
        "the extracted file is not named <unique>_" + file.name);
  const std::string_view library(reinterpret_cast<const char*>(file.library.data()), file.library.size());
  check(contentsOf(done->path) == library, "the extracted file does not hold the library");
  check(isLockedElsewhere(done->path), "the extracted file is not locked");
  rt::host::destroyShutdownList();
  check(!std::filesystem::exists(path), "the extracted file outlived the shutdown list");
}

void parse(const std::uint8_t* data, std::size_t size) {
  rt::host::ResourceTable table;
  table.registerResources({data, size}, 0);
  for (const rt::host::Resource& resource : table.entries()) {
    if (resource.type != rt::host::kPluginResourceType) continue;
    const auto parsed = rt::host::parsePluginResource(resource);
    const auto* file = std::get_if<rt::host::PluginFile>(&parsed);
    if (file == nullptr) continue;
    check(file->name.size() == resource.bytes[0] && file->name.find('/') == std::string::npos,
          "a parsed plugin name is no plain file name");
    check(file->library.data() == resource.bytes + 1 + file->name.size() &&
              1 + file->name.size() + file->library.size() == resource.length,
          "a parsed library does not fill the rest of its record");
    extract(*file);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vantor::fuzz::startRuntime();
  // Plugins are extracted into $HOME/.tmpAppData: a private one.
  setenv("HOME", vantor::fuzz::applicationFolder().c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  parse(data, size);
  return 0;
}
