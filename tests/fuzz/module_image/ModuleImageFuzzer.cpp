// The module image reader on arbitrary bytes: the ".zk" section of an ELF
// file (32- or 64-bit) or the six fallback files, then the resource and option
// records of the image and the plugin containers among the resources, the
// symbols part, and the linking of the fixup stream into placed code and data.
//
// Input: a mode byte; for mode 0 the rest is the executable file; otherwise
// six parts in fallback-file order, each a little-endian u32 length (taken
// modulo 4097) and its bytes.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "host/FixupLinker.h"
#include "host/ModuleImage.h"
#include "host/SymbolTable.h"
#include "host/PluginResource.h"
#include "host/ResourceTable.h"
#include "support/FuzzInput.h"
#include "support/FuzzRuntime.h"

namespace {

using rt::host::ModuleImage;
using vantor::fuzz::check;

constexpr const char* kFallbackFiles[] = {"code.dat", "data.dat", "import.dat", "symbols.dat", "rsrc.dat", "options.dat"};

bool within(const std::uint8_t* bytes, std::size_t length, const rt::host::Bytes& part) {
  return bytes >= part.data() && length <= part.size() && bytes - part.data() <= static_cast<std::ptrdiff_t>(part.size() - length);
}

ModuleImage readFallbackFiles(vantor::fuzz::FuzzInput& input) {
  vantor::fuzz::emptyApplicationFolder();
  for (const char* name : kFallbackFiles) vantor::fuzz::writeFile(name, input.sizedBytes(4096));
  // The files are read from the current directory.
  char previous[4096];
  check(getcwd(previous, sizeof previous) != nullptr, "cannot read the current directory");
  check(chdir(vantor::fuzz::applicationFolder().c_str()) == 0, "cannot enter the application folder");
  ModuleImage image = rt::host::readImageFromFiles();
  check(chdir(previous) == 0, "cannot return to the current directory");
  return image;
}

void checkResources(const ModuleImage& image, std::string_view file) {
  rt::host::ResourceTable table;
  table.registerResources(image.resources, image.resourcesFileOffset);
  table.registerOptions(image.options);
  for (const rt::host::Resource& resource : table.entries()) {
    if (resource.type == rt::host::kVersionResourceType && resource.fileOffset == 0 &&
        within(resource.bytes, resource.length, image.options)) {
      continue;
    }
    check(within(resource.bytes, resource.length, image.resources), "a resource lies outside its part");
    // A resource's file offset is that of its bytes in the file it came from.
    if (!file.empty()) {
      check(resource.fileOffset <= file.size() && resource.length <= file.size() - resource.fileOffset &&
                std::memcmp(file.data() + resource.fileOffset, resource.bytes, resource.length) == 0,
            "a resource's file offset does not lead to its bytes");
    }
    if (resource.type == rt::host::kPluginResourceType) (void)rt::host::parsePluginResource(resource);
  }
}

bool zeroFrom(const std::uint8_t* from, std::size_t pageSize) {
  const auto address = reinterpret_cast<std::uintptr_t>(from);
  const std::size_t tail = (pageSize - address % pageSize) % pageSize;
  return std::all_of(from, from + tail, [](std::uint8_t byte) { return byte == 0; });
}

// Links as the loader does before it enters a module, without entering it.
// Library calls are left out: they would open any library the input names.
void checkLinking(const ModuleImage& image) {
  const rt::host::SymbolTable symbols(image.symbols);
  for (std::uint32_t offset : {0u, 1u, 0x100u, 0xFFFFFFFFu}) (void)symbols.find(offset);
  if (image.code.empty()) return;
  auto records = rt::host::parseFixupRecords(image.imports);
  std::erase_if(records, [](const rt::host::FixupRecord& record) { return record.kind == rt::host::kFixupLibraryCall; });
  auto memory = rt::host::ModuleMemory::place(image.code, image.data, rt::host::thunksNeeded(records));
  check(memory != nullptr, "the code and data cannot be placed");
  rt::host::linkFixups(records, *memory);
  // The parts are followed by zeros up to their pages' ends: nothing is written there.
  const auto pageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  check(zeroFrom(memory->code().data() + memory->code().size(), pageSize), "linking wrote beyond the code part");
  check(zeroFrom(memory->data().data() + memory->data().size(), pageSize), "linking wrote beyond the data part");
}

void read(const std::uint8_t* data, std::size_t size) {
  vantor::fuzz::FuzzInput input(data, size);
  if (input.integer<std::uint8_t>() % 2 == 0) {
    const std::string_view file = input.rest();
    vantor::fuzz::writeFile("executable", file);
    const std::string path = vantor::fuzz::applicationFolder() + "/executable";
    const auto image = rt::host::readImageFromExecutable(path.c_str());
    if (!image) return;
    const std::size_t parts = image->code.size() + image->data.size() + image->imports.size() +
                              image->symbols.size() + image->resources.size() + image->options.size();
    check(parts <= file.size(), "the parts of an image hold more bytes than its file");
    checkResources(*image, file);
    checkLinking(*image);
    return;
  }
  const ModuleImage image = readFallbackFiles(input);
  checkResources(image, {});
  checkLinking(image);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vantor::fuzz::startRuntime();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  read(data, size);
  return 0;
}
