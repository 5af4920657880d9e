#include "host/LoadedModule.h"

#include "host/FixupLinker.h"

namespace rt::host {
namespace {

const LoadedModule* currentModule = nullptr;

}  // namespace

std::unique_ptr<LoadedModule> LoadedModule::load(const ModuleImage& image) {
  const std::vector<FixupRecord> records = parseFixupRecords(image.imports);
  auto memory = ModuleMemory::place(image.code, image.data, thunksNeeded(records));
  if (memory == nullptr) return nullptr;
  linkFixups(records, *memory);
  return std::unique_ptr<LoadedModule>(new LoadedModule(std::move(memory), SymbolTable(image.symbols)));
}

std::optional<SymbolHit> LoadedModule::symbolAt(std::uintptr_t address) const {
  if (!contains(address)) return std::nullopt;
  return symbols_.find(static_cast<std::uint32_t>(address - codeBase()));
}

void LoadedModule::enter() const {
  // Compiled code uses the host's calling convention: cdecl on x86-32, the
  // System V convention on x86-64.
  reinterpret_cast<void (*)()>(codeBase())();
}

const LoadedModule* loadedModule() { return currentModule; }

void setLoadedModule(const LoadedModule* module) { currentModule = module; }

}  // namespace rt::host
