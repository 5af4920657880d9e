// The module's resources: the records of its resources part and the version
// record of its options part.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace rt::host {

// Type codes are four characters read as a little-endian word from their
// bytes in file order ("ZKPl" is stored as the bytes "lPKZ").
constexpr std::uint32_t fourCharacterCode(const char (&code)[5]) {
  return std::uint32_t(std::uint8_t(code[0])) << 24 | std::uint32_t(std::uint8_t(code[1])) << 16 |
         std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint32_t(std::uint8_t(code[3]));
}

constexpr std::uint32_t kPluginResourceType = fourCharacterCode("ZKPl");
constexpr std::uint32_t kVersionResourceType = fourCharacterCode("VERS");

struct Resource {
  std::uint32_t type;
  std::uint16_t id;
  const std::uint8_t* bytes;  // into the loaded image, kept for the process
  std::uint32_t length;
  std::uint64_t fileOffset;
};

class ResourceTable {
 public:
  // Adds every record of a resources part; a record that passes the end of
  // the part is reported and ends the walk.
  void registerResources(std::span<const std::uint8_t> part, std::uint64_t fileOffset);
  // Skips kind-1 records and registers kind-2 version records; other kinds
  // are reported.
  void registerOptions(std::span<const std::uint8_t> part);

  std::span<const Resource> entries() const { return entries_; }

 private:
  std::vector<Resource> entries_;
};

// The process's table.
ResourceTable& resourceTable();

}  // namespace rt::host
