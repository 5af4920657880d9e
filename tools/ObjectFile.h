// An ELF relocatable object (x86-64 or x86-32, little-endian) as the packer
// reads it: its sections, symbols and relocations. Malformed files throw
// std::runtime_error naming what is wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ModuleImageWriter.h"

namespace vantor::tools {

struct ObjectSection {
  std::string name;
  std::uint32_t type;
  std::uint64_t flags;
  std::uint64_t size;
  std::uint64_t alignment;
  Bytes contents;  // empty for sections without file contents (.bss)
};

struct ObjectSymbol {
  std::string name;
  std::uint8_t type;  // STT_*
  std::uint16_t section;  // SHN_UNDEF, SHN_ABS, SHN_COMMON or a section index
  std::uint64_t value;
};

struct ObjectRelocation {
  std::uint64_t offset;  // within the section it applies to
  std::uint32_t type;    // R_X86_64_* or R_386_*
  std::uint32_t symbol;
  std::int64_t addend;   // explicit, or read from the site for x86-32
};

struct ObjectRelocations {
  std::size_t section;  // the section the relocations apply to
  std::vector<ObjectRelocation> entries;
};

struct ObjectFile {
  bool is64;  // x86-64; otherwise x86-32
  std::vector<ObjectSection> sections;
  std::vector<ObjectSymbol> symbols;
  std::vector<ObjectRelocations> relocations;
};

ObjectFile readObjectFile(const Bytes& file);

// "R_X86_64_PC32", "R_386_32"... or "relocation type N".
std::string relocationName(bool is64, std::uint32_t type);

}  // namespace vantor::tools
