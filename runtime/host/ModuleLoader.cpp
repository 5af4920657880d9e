#include "host/FailureReport.h"
#include "host/HostApi.h"
#include "host/HostMain.h"
#include "host/LoadedModule.h"
#include "host/ModuleImage.h"
#include "host/ResourceTable.h"
#include "host/ShutdownList.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"

namespace {

using namespace rt::host;

// An image without code names the routine built into the executable.
void enterBuiltinRoutine() {
  BuiltinEntry entry = builtinEntry();
  if (entry == nullptr) {
    rt::reportAssertion("../Common/loaderX86", __LINE__, "builtinEntry");
    return;
  }
  entry();
}

void enterLoadedCode(const LoadedModule& module) {
  module.enter();
  // The module's outer handler takes every exception; one that passed it is
  // left pending.
  if (RTObject* exception = rt::exceptions::take()) {
    RuntimeUnhandledException(exception);
    RuntimeUnlockObject(exception);
  }
}

}  // namespace

extern "C" void LoadModuleImage(const char* executablePath) {
  std::optional<ModuleImage> fromSection;
  if (executablePath != nullptr) fromSection = readImageFromExecutable(executablePath);
  ModuleImage& image = loadedImage();
  image = fromSection ? std::move(*fromSection) : readImageFromFiles();

  // The code stays in place for the life of the process.
  const LoadedModule* module = nullptr;
  if (!image.code.empty()) {
    module = LoadedModule::load(image).release();
    if (module != nullptr) {
      module->memory().protect();
      setLoadedModule(module);
    }
  }

  ResourceTable& resources = resourceTable();
  resources.registerResources(image.resources, image.resourcesFileOffset);
  resources.registerOptions(image.options);
  if (image.code.empty()) {
    enterBuiltinRoutine();
  } else if (module != nullptr) {
    enterLoadedCode(*module);
  }
  destroyShutdownList();
}
