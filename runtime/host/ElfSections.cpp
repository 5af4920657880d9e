#include "host/ElfSections.h"

#include <cstring>
#include <string>
#include <vector>

#include "host/FailureReport.h"

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/loaderX86";
constexpr std::uint8_t kElfClass32 = 1;
constexpr std::uint8_t kElfClass64 = 2;

// Where the fields the loader needs sit for each ELF class.
struct ElfLayout {
  std::uint64_t sectionTableOffsetAt;
  unsigned addressWidth;  // bytes of e_shoff, sh_offset and sh_size
  std::uint64_t entrySizeAt;
  std::uint64_t entryCountAt;
  std::uint64_t nameTableIndexAt;
  std::uint64_t sectionOffsetAt;  // within a section header
  std::uint64_t sectionSizeAt;
};

constexpr ElfLayout kElf32{0x20, 4, 0x2E, 0x30, 0x32, 0x10, 0x14};
constexpr ElfLayout kElf64{0x28, 8, 0x3A, 0x3C, 0x3E, 0x18, 0x20};

struct SectionTable {
  std::uint64_t offset;
  std::uint16_t entrySize;
  std::uint16_t count;
  std::uint16_t nameTableIndex;
};

std::optional<std::uint64_t> readAddress(BoundedFile& file, std::uint64_t at, unsigned width) {
  if (width == 4) {
    std::uint32_t value;
    if (!file.readValueAt(at, value)) return std::nullopt;
    return value;
  }
  std::uint64_t value;
  if (!file.readValueAt(at, value)) return std::nullopt;
  return value;
}

std::nullopt_t malformed(const std::string& detail) {
  reportAssertion(kSourceFile, __LINE__, "elfHeader", ("Malformed executable: " + detail).c_str());
  return std::nullopt;
}

std::optional<ElfLayout> layoutOf(BoundedFile& file) {
  unsigned char ident[5];
  if (!file.readAt(0, ident, sizeof ident) || std::memcmp(ident, "\x7F" "ELF", 4) != 0) {
    return malformed("no ELF header");
  }
  if (ident[4] == kElfClass32) return kElf32;
  if (ident[4] == kElfClass64) return kElf64;
  return malformed("unknown ELF class");
}

std::optional<SectionTable> sectionTable(BoundedFile& file, const ElfLayout& layout) {
  SectionTable table{};
  const auto offset = readAddress(file, layout.sectionTableOffsetAt, layout.addressWidth);
  if (!offset || !file.readValueAt(layout.entrySizeAt, table.entrySize) ||
      !file.readValueAt(layout.entryCountAt, table.count) ||
      !file.readValueAt(layout.nameTableIndexAt, table.nameTableIndex)) {
    return malformed("truncated ELF header");
  }
  table.offset = *offset;
  // No section headers at all is well formed: the file has no sections.
  if (table.count == 0) return table;
  if (table.entrySize < layout.sectionSizeAt + layout.addressWidth ||
      table.nameTableIndex >= table.count ||
      table.offset + std::uint64_t{table.entrySize} * table.count > file.size()) {
    return malformed("section headers outside the file");
  }
  return table;
}

std::optional<std::vector<char>> nameTable(BoundedFile& file, const ElfLayout& layout,
                                           const SectionTable& table) {
  const std::uint64_t header = table.offset + std::uint64_t{table.entrySize} * table.nameTableIndex;
  const auto offset = readAddress(file, header + layout.sectionOffsetAt, layout.addressWidth);
  const auto size = readAddress(file, header + layout.sectionSizeAt, layout.addressWidth);
  if (!offset || !size || *offset > file.size() || *size > file.size() - *offset) {
    return malformed("section name table outside the file");
  }
  std::vector<char> names(*size);
  if (!file.readAt(*offset, names.data(), names.size())) return malformed("unreadable section names");
  return names;
}

}  // namespace

std::optional<std::uint64_t> findSectionOffset(BoundedFile& file, const char* name) {
  const auto layout = layoutOf(file);
  if (!layout) return std::nullopt;
  const auto table = sectionTable(file, *layout);
  if (!table || table->count == 0) return std::nullopt;
  const auto names = nameTable(file, *layout, *table);
  if (!names) return std::nullopt;

  // The name is compared with its terminating zero, so ".zk" does not match ".zkx".
  const std::size_t wanted = std::strlen(name) + 1;
  for (std::uint16_t i = 0; i < table->count; ++i) {
    const std::uint64_t header = table->offset + std::uint64_t{table->entrySize} * i;
    std::uint32_t nameOffset;
    if (!file.readValueAt(header, nameOffset)) return malformed("truncated section header");
    if (nameOffset > names->size() || wanted > names->size() - nameOffset ||
        std::memcmp(names->data() + nameOffset, name, wanted) != 0) {
      continue;
    }
    return readAddress(file, header + layout->sectionOffsetAt, layout->addressWidth);
  }
  return std::nullopt;
}

}  // namespace rt::host
