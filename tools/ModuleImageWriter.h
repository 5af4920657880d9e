// Writing module images: six length-prefixed parts (code, data, imports,
// symbols, resources, options), as the runtime's loader reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantor::tools {

using Bytes = std::vector<std::uint8_t>;

struct ResourceRecord {
  std::uint32_t type;  // four characters, see fourCharacterCode
  std::uint16_t id;
  Bytes bytes;
};

struct ImageParts {
  Bytes code;  // empty: the executable's built-in routine is the module
  Bytes data;
  Bytes imports;
  Bytes symbols;
  std::vector<ResourceRecord> resources;
  Bytes options;  // option records, each starting with its kind byte
};

Bytes writeModuleImage(const ImageParts& parts);

// The parts as the files the loader falls back to ("code.dat", "data.dat",
// "import.dat", "symbols.dat", "rsrc.dat", "options.dat") in folder.
void writeFallbackFiles(const std::string& folder, const ImageParts& parts);

// A plugin resource's bytes: the length-prefixed file name, then the library.
Bytes pluginResource(const std::string& fileName, const Bytes& library);

// The version option record: kind 2, then 24 bytes (the first 1) and three
// empty length-prefixed strings.
Bytes versionOptionRecord();

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& bytes);

// Copies an executable with the image added as its ".zk" section, which the
// operating system does not load; throws with objcopy's status on failure.
void embedImage(const std::string& objcopy, const std::string& imagePath,
                const std::string& executable, const std::string& output);

}  // namespace vantor::tools
