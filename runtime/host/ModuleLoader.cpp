#include "host/FailureReport.h"
#include "host/HostApi.h"
#include "host/HostMain.h"
#include "host/ModuleImage.h"
#include "host/ResourceTable.h"
#include "host/ShutdownList.h"

namespace {

using namespace rt::host;

// An image without code names the routine built into the executable. Images
// carrying machine code need the linker and the code loader, which this
// runtime does not have.
void enterModule(const ModuleImage& image) {
  if (!image.code.empty()) {
    rt::reportAssertion("../Common/loaderX86", __LINE__, "codeLength == 0",
                        "Module images with machine code cannot be entered by this runtime");
    return;
  }
  BuiltinEntry entry = builtinEntry();
  if (entry == nullptr) {
    rt::reportAssertion("../Common/loaderX86", __LINE__, "builtinEntry");
    return;
  }
  entry();
}

}  // namespace

extern "C" void LoadModuleImage(const char* executablePath) {
  std::optional<ModuleImage> fromSection;
  if (executablePath != nullptr) fromSection = readImageFromExecutable(executablePath);
  ModuleImage& image = loadedImage();
  image = fromSection ? std::move(*fromSection) : readImageFromFiles();

  ResourceTable& resources = resourceTable();
  resources.registerResources(image.resources, image.resourcesFileOffset);
  resources.registerOptions(image.options);
  enterModule(image);
  destroyShutdownList();
}
