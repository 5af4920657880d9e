// The six parts of a module image, read from the executable's ".zk" section
// or from six files in the current directory.
//
// Every count in an image is checked against the bytes actually present: a
// truncated or malformed image is reported and the parts that could not be
// read stay empty, so nothing is read past the end of the file.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace rt::host {

using Bytes = std::vector<std::uint8_t>;

struct ModuleImage {
  Bytes code;  // empty: the module's routine is built into the executable
  Bytes data;
  Bytes imports;
  Bytes symbols;
  Bytes resources;
  Bytes options;
  // Offset of the resources part in the file it came from.
  std::uint64_t resourcesFileOffset = 0;
};

// The image in the executable's ".zk" section; nothing when the file cannot
// be opened, has no such section or the section's offset is 0.
std::optional<ModuleImage> readImageFromExecutable(const char* path);

// The image from "code.dat", "data.dat", "import.dat", "symbols.dat",
// "rsrc.dat" and "options.dat" in the current directory; a missing file (or a
// name that is not a regular file) is an empty part.
ModuleImage readImageFromFiles();

// The image the process loaded; kept for the life of the process.
ModuleImage& loadedImage();

}  // namespace rt::host
