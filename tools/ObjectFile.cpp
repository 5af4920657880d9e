#include "ObjectFile.h"

#include <elf.h>

#include <cstring>
#include <span>
#include <stdexcept>

namespace vantor::tools {
namespace {

[[noreturn]] void malformed(const std::string& what) { throw std::runtime_error("malformed object file: " + what); }

template <class Value>
Value at(const Bytes& file, std::uint64_t offset) {
  if (offset > file.size() || file.size() - offset < sizeof(Value)) malformed("a field lies beyond the end");
  Value value;
  std::memcpy(&value, file.data() + offset, sizeof value);
  return value;
}

Bytes slice(const Bytes& file, std::uint64_t offset, std::uint64_t size) {
  if (offset > file.size() || file.size() - offset < size) malformed("a section lies beyond the end");
  return Bytes(file.begin() + static_cast<std::ptrdiff_t>(offset),
               file.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

std::string nameAt(const Bytes& table, std::uint64_t offset) {
  if (offset >= table.size()) malformed("a name lies outside its string table");
  const auto* text = reinterpret_cast<const char*>(table.data() + offset);
  const std::size_t length = strnlen(text, table.size() - offset);
  if (length == table.size() - offset) malformed("a name has no terminating zero");
  return std::string(text, length);
}

// The ELF structures of one class.
template <bool Wide>
struct Elf;
template <>
struct Elf<true> {
  using Header = Elf64_Ehdr;
  using Section = Elf64_Shdr;
  using Symbol = Elf64_Sym;
  using Rel = Elf64_Rel;
  using Rela = Elf64_Rela;
  static std::uint32_t symbolOf(std::uint64_t info) { return ELF64_R_SYM(info); }
  static std::uint32_t typeOf(std::uint64_t info) { return ELF64_R_TYPE(info); }
  static std::uint8_t symbolType(std::uint8_t info) { return ELF64_ST_TYPE(info); }
  static constexpr std::uint16_t kMachine = EM_X86_64;
};
template <>
struct Elf<false> {
  using Header = Elf32_Ehdr;
  using Section = Elf32_Shdr;
  using Symbol = Elf32_Sym;
  using Rel = Elf32_Rel;
  using Rela = Elf32_Rela;
  static std::uint32_t symbolOf(std::uint32_t info) { return ELF32_R_SYM(info); }
  static std::uint32_t typeOf(std::uint32_t info) { return ELF32_R_TYPE(info); }
  static std::uint8_t symbolType(std::uint8_t info) { return ELF32_ST_TYPE(info); }
  static constexpr std::uint16_t kMachine = EM_386;
};

template <bool Wide>
ObjectFile read(const Bytes& file) {
  using E = Elf<Wide>;
  const auto header = at<typename E::Header>(file, 0);
  if (header.e_type != ET_REL) malformed("not a relocatable object");
  if (header.e_machine != E::kMachine) malformed("not an x86 object of its class");
  if (header.e_shentsize != sizeof(typename E::Section)) malformed("unexpected section header size");

  std::vector<typename E::Section> headers;
  for (std::uint16_t i = 0; i < header.e_shnum; ++i) {
    headers.push_back(at<typename E::Section>(file, header.e_shoff + std::uint64_t{i} * header.e_shentsize));
  }
  if (header.e_shstrndx >= headers.size()) malformed("no section name table");
  const Bytes names = slice(file, headers[header.e_shstrndx].sh_offset, headers[header.e_shstrndx].sh_size);

  ObjectFile object{Wide, {}, {}, {}};
  for (const auto& h : headers) {
    object.sections.push_back({nameAt(names, h.sh_name), h.sh_type, h.sh_flags, h.sh_size, h.sh_addralign,
                               h.sh_type == SHT_NOBITS ? Bytes() : slice(file, h.sh_offset, h.sh_size)});
  }

  for (std::size_t i = 0; i < headers.size(); ++i) {
    const auto& h = headers[i];
    if (h.sh_type != SHT_SYMTAB) continue;
    if (h.sh_link >= headers.size()) malformed("the symbol table has no string table");
    const Bytes& strings = object.sections[h.sh_link].contents;
    const Bytes& table = object.sections[i].contents;
    for (std::size_t s = 0; s + sizeof(typename E::Symbol) <= table.size(); s += sizeof(typename E::Symbol)) {
      const auto symbol = at<typename E::Symbol>(table, s);
      object.symbols.push_back({nameAt(strings, symbol.st_name), E::symbolType(symbol.st_info), symbol.st_shndx,
                                symbol.st_value});
    }
  }

  for (std::size_t i = 0; i < headers.size(); ++i) {
    const auto& h = headers[i];
    if (h.sh_type != SHT_REL && h.sh_type != SHT_RELA) continue;
    if (h.sh_info >= headers.size()) malformed("relocations for a section that does not exist");
    ObjectRelocations relocations{h.sh_info, {}};
    const Bytes& table = object.sections[i].contents;
    const ObjectSection& target = object.sections[h.sh_info];
    const bool explicitAddend = h.sh_type == SHT_RELA;
    const std::size_t entrySize = explicitAddend ? sizeof(typename E::Rela) : sizeof(typename E::Rel);
    for (std::size_t r = 0; r + entrySize <= table.size(); r += entrySize) {
      const auto rel = at<typename E::Rel>(table, r);
      ObjectRelocation entry{rel.r_offset, E::typeOf(rel.r_info), E::symbolOf(rel.r_info), 0};
      if (entry.symbol >= object.symbols.size()) malformed("a relocation names a symbol that does not exist");
      if (explicitAddend) {
        entry.addend = at<typename E::Rela>(table, r).r_addend;
      } else {
        entry.addend = at<std::int32_t>(target.contents, entry.offset);
      }
      relocations.entries.push_back(entry);
    }
    object.relocations.push_back(std::move(relocations));
  }
  return object;
}

}  // namespace

ObjectFile readObjectFile(const Bytes& file) {
  if (file.size() < EI_NIDENT || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0) malformed("no ELF header");
  if (file[EI_DATA] != ELFDATA2LSB) malformed("not little-endian");
  if (file[EI_CLASS] == ELFCLASS64) return read<true>(file);
  if (file[EI_CLASS] == ELFCLASS32) return read<false>(file);
  malformed("unknown ELF class");
}

std::string relocationName(bool is64, std::uint32_t type) {
  struct Name {
    std::uint32_t type;
    const char* name;
  };
  static constexpr Name kWide[] = {
      {R_X86_64_64, "R_X86_64_64"},           {R_X86_64_PC32, "R_X86_64_PC32"},
      {R_X86_64_GOT32, "R_X86_64_GOT32"},     {R_X86_64_PLT32, "R_X86_64_PLT32"},
      {R_X86_64_GOTPCREL, "R_X86_64_GOTPCREL"}, {R_X86_64_32, "R_X86_64_32"},
      {R_X86_64_32S, "R_X86_64_32S"},         {R_X86_64_16, "R_X86_64_16"},
      {R_X86_64_PC16, "R_X86_64_PC16"},       {R_X86_64_8, "R_X86_64_8"},
      {R_X86_64_PC8, "R_X86_64_PC8"},         {R_X86_64_PC64, "R_X86_64_PC64"},
      {R_X86_64_GOTPCRELX, "R_X86_64_GOTPCRELX"}, {R_X86_64_REX_GOTPCRELX, "R_X86_64_REX_GOTPCRELX"},
  };
  static constexpr Name kNarrow[] = {
      {R_386_32, "R_386_32"},         {R_386_PC32, "R_386_PC32"},     {R_386_GOT32, "R_386_GOT32"},
      {R_386_PLT32, "R_386_PLT32"},   {R_386_GOTOFF, "R_386_GOTOFF"}, {R_386_GOTPC, "R_386_GOTPC"},
      {R_386_16, "R_386_16"},         {R_386_PC16, "R_386_PC16"},     {R_386_8, "R_386_8"},
      {R_386_PC8, "R_386_PC8"},       {R_386_GOT32X, "R_386_GOT32X"},
  };
  for (const Name& name : is64 ? std::span<const Name>(kWide) : std::span<const Name>(kNarrow)) {
    if (name.type == type) return name.name;
  }
  return "relocation type " + std::to_string(type);
}

}  // namespace vantor::tools
