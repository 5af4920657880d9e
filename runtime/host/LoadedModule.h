// A module image whose code is loaded: its code and data placed in memory and
// linked, its symbols, and its entry routine at code offset 0.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "host/ModuleImage.h"
#include "host/ModuleMemory.h"
#include "host/SymbolTable.h"

namespace rt::host {

class LoadedModule {
 public:
  // Places and links the image's code and data; null (after a report) when
  // they cannot be placed. The image must outlive the module (its symbols
  // part is read in place). Memory protection is left to protect().
  static std::unique_ptr<LoadedModule> load(const ModuleImage& image);

  ModuleMemory& memory() const { return *memory_; }
  std::span<const std::uint8_t> code() const { return memory_->code(); }
  std::uintptr_t codeBase() const { return memory_->codeBase(); }
  bool contains(std::uintptr_t address) const {
    return address >= codeBase() && address - codeBase() < code().size();
  }
  // The function an address of the code lies in, by the symbols part.
  std::optional<SymbolHit> symbolAt(std::uintptr_t address) const;

  // Calls the entry routine (code offset 0) with no arguments.
  void enter() const;

 private:
  LoadedModule(std::unique_ptr<ModuleMemory> memory, SymbolTable symbols)
      : memory_(std::move(memory)), symbols_(std::move(symbols)) {}

  std::unique_ptr<ModuleMemory> memory_;
  SymbolTable symbols_;
};

// The module whose code runs in this process, or null; exceptions are
// delivered to its handler markers and its functions named in exception
// stacks.
const LoadedModule* loadedModule();
void setLoadedModule(const LoadedModule* module);

}  // namespace rt::host
