#include "host/PluginLoader.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <memory>
#include <span>
#include <unistd.h>
#include <vector>

#include "host/CommandLine.h"
#include "host/IntrinsicTable.h"
#include "host/PluginClasses.h"
#include "host/PluginExtraction.h"
#include "host/PluginResource.h"
#include "host/ResourceTable.h"
#include "host/ShutdownList.h"
#include "plugins/sdk/PluginSdk.h"

namespace rt::host {
namespace {

PluginRecord* loading = nullptr;

std::vector<std::unique_ptr<PluginRecord>>& plugins() {
  static std::vector<std::unique_ptr<PluginRecord>> list;
  return list;
}

void* resolveCallback(const char* name) { return name ? intrinsics::lookup(name) : nullptr; }

std::string dynamicLinkerError() {
  const char* error = dlerror();
  return error != nullptr ? error : "unknown error";
}

// Loads one plugin; the error text when it cannot be installed.
std::string loadPlugin(const Resource& resource) {
  const auto parsed = parsePluginResource(resource);
  if (const auto* error = std::get_if<std::string>(&parsed)) return *error;
  const PluginFile& file = std::get<PluginFile>(parsed);

  auto record = std::make_unique<PluginRecord>();
  std::string path = applicationFolder() + "/" + file.name;
  if (access(path.c_str(), F_OK) != 0) {
    const auto extracted = extractPlugin(file.name, file.library);
    if (const auto* error = std::get_if<std::string>(&extracted)) return *error;
    path = std::get<ExtractedFile>(extracted).path;
    record->extractedPath = path;
    record->lockedDescriptor = std::get<ExtractedFile>(extracted).lockedDescriptor;
  }

  record->handle = dlopen(path.c_str(), RTLD_LAZY);
  if (record->handle == nullptr) return dynamicLinkerError();
  auto main = reinterpret_cast<PluginMainFunction>(dlsym(record->handle, "TOLVPluginMain"));
  if (main == nullptr) return dynamicLinkerError();

  loading = plugins().emplace_back(std::move(record)).get();
  setenv("ZKPLUGINPATH", path.c_str(), 1);
  main(&resolveCallback);
  unsetenv("ZKPLUGINPATH");
  PluginRecord* loaded = loading;
  loading = nullptr;
  createPluginClasses(loaded);
  return {};
}

[[noreturn]] void failToInstall(const std::string& error) {
  (void)std::fprintf(stderr,
               "The application cannot continue because a needed file cannot be installed. %s\n",
               error.c_str());
  (void)std::fflush(stderr);
  destroyShutdownList();
  std::exit(1);
}

}  // namespace

void loadPlugins() {
  installPluginClassLookup();
  for (const Resource& resource : resourceTable().entries()) {
    if (resource.type != kPluginResourceType) continue;
    const std::string error = loadPlugin(resource);
    if (!error.empty()) failToInstall(error);
  }
}

PluginRecord* currentLoadingPlugin() { return loading; }

}  // namespace rt::host
