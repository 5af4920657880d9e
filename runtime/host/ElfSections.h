// Finding a section of an ELF file by name through its section headers.
#pragma once

#include <cstdint>
#include <optional>

#include "host/BoundedFile.h"

namespace rt::host {

// The file offset of the first section named exactly name; nothing when there
// is none or the headers are malformed (reported).
std::optional<std::uint64_t> findSectionOffset(BoundedFile& file, const char* name);

}  // namespace rt::host
