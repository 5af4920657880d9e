#include "host/ModuleImage.h"

#include <array>
#include <cstdio>
#include <string>

#include "host/BoundedFile.h"
#include "host/ElfSections.h"
#include "host/FailureReport.h"

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/loaderX86";

// Reads the length-prefixed parts one after another from a section.
class SectionReader {
 public:
  SectionReader(BoundedFile& file, std::uint64_t offset) : file_(file), position_(offset) {}

  // Reads the next part; false (after a report) when its count or bytes pass
  // the end of the file. Later parts are then not read.
  bool readPart(const char* partName, Bytes& into) {
    std::uint32_t length;
    if (!file_.readValueAt(position_, length)) return truncated(partName, "its length");
    position_ += sizeof length;
    if (length > file_.size() - position_) return truncated(partName, std::to_string(length) + " bytes");
    into.resize(length);
    if (!file_.readAt(position_, into.data(), length)) {
      into.clear();
      return truncated(partName, std::to_string(length) + " bytes");
    }
    position_ += length;
    return true;
  }

  std::uint64_t position() const { return position_; }

 private:
  bool truncated(const char* partName, const std::string& what) {
    const std::string detail = std::string("Truncated module image: the ") + partName +
                               " part needs " + what + " beyond the end of the file";
    reportAssertion(kSourceFile, __LINE__, "length <= remaining", detail.c_str());
    return false;
  }

  BoundedFile& file_;
  std::uint64_t position_;
};

// A whole file as one part; a missing or empty file is an empty part.
Bytes readWholeFile(const char* name) {
  BoundedFile file(name);
  Bytes bytes(file.isOpen() ? file.size() : 0);
  if (!bytes.empty() && !file.readAt(0, bytes.data(), bytes.size())) {
    reportAssertion(kSourceFile, __LINE__, "bytesRead == fileSize",
                    (std::string("Short read of ") + name).c_str());
    bytes.clear();
  }
  return bytes;
}

}  // namespace

std::optional<ModuleImage> readImageFromExecutable(const char* path) {
  BoundedFile file(path);
  if (!file.isOpen()) {
    reportAssertion(kSourceFile, 490, "exeFile", (std::string("Can't open executable ") + path).c_str());
    return std::nullopt;
  }
  const auto offset = findSectionOffset(file, ".zk");
  if (!offset || *offset == 0) return std::nullopt;

  ModuleImage image;
  SectionReader reader(file, *offset);
  if (!reader.readPart("code", image.code) || !reader.readPart("data", image.data) ||
      !reader.readPart("import", image.imports) || !reader.readPart("symbols", image.symbols)) {
    return image;
  }
  // The resources' file offset is that of their bytes, after the count.
  image.resourcesFileOffset = reader.position() + sizeof(std::uint32_t);
  if (reader.readPart("resources", image.resources)) reader.readPart("options", image.options);
  return image;
}

ModuleImage readImageFromFiles() {
  ModuleImage image;
  image.imports = readWholeFile("import.dat");
  image.code = readWholeFile("code.dat");
  image.data = readWholeFile("data.dat");
  image.resources = readWholeFile("rsrc.dat");
  image.options = readWholeFile("options.dat");
  image.symbols = readWholeFile("symbols.dat");
  return image;
}

ModuleImage& loadedImage() {
  static ModuleImage image;
  return image;
}

}  // namespace rt::host
