#include "ModuleImageWriter.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

namespace vantor::tools {
namespace {

constexpr std::size_t kVersionFixedBytes = 24;
constexpr std::uint8_t kVersionRecordKind = 2;

template <class Value>
void appendLittleEndian(Bytes& out, Value value) {
  for (std::size_t i = 0; i < sizeof value; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendPart(Bytes& out, const Bytes& part) {
  if (part.size() > UINT32_MAX) throw std::runtime_error("a part exceeds 4 GiB");
  appendLittleEndian(out, static_cast<std::uint32_t>(part.size()));
  out.insert(out.end(), part.begin(), part.end());
}

Bytes resourcePart(const std::vector<ResourceRecord>& resources) {
  Bytes part;
  for (const ResourceRecord& resource : resources) {
    appendLittleEndian(part, resource.type);
    appendLittleEndian(part, resource.id);
    appendLittleEndian(part, std::uint32_t{0});
    appendLittleEndian(part, static_cast<std::uint32_t>(resource.bytes.size()));
    part.insert(part.end(), resource.bytes.begin(), resource.bytes.end());
  }
  return part;
}

}  // namespace

Bytes writeModuleImage(const ImageParts& parts) {
  Bytes image;
  for (const Bytes* part : {&parts.code, &parts.data, &parts.imports, &parts.symbols}) {
    appendPart(image, *part);
  }
  appendPart(image, resourcePart(parts.resources));
  appendPart(image, parts.options);
  return image;
}

void writeFallbackFiles(const std::string& folder, const ImageParts& parts) {
  writeFile(folder + "/code.dat", parts.code);
  writeFile(folder + "/data.dat", parts.data);
  writeFile(folder + "/import.dat", parts.imports);
  writeFile(folder + "/symbols.dat", parts.symbols);
  writeFile(folder + "/rsrc.dat", resourcePart(parts.resources));
  writeFile(folder + "/options.dat", parts.options);
}

Bytes pluginResource(const std::string& fileName, const Bytes& library) {
  if (fileName.empty() || fileName.size() > 255) throw std::runtime_error("bad plugin file name");
  Bytes bytes(1 + fileName.size() + library.size());
  bytes[0] = static_cast<std::uint8_t>(fileName.size());
  std::copy(fileName.begin(), fileName.end(), bytes.begin() + 1);
  std::copy(library.begin(), library.end(), bytes.begin() + 1 + static_cast<std::ptrdiff_t>(fileName.size()));
  return bytes;
}

Bytes versionOptionRecord() {
  Bytes record(1 + kVersionFixedBytes + 3, 0);
  record[0] = kVersionRecordKind;
  record[1] = 1;
  return record;
}

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void embedImage(const std::string& objcopy, const std::string& imagePath,
                const std::string& executable, const std::string& output) {
  std::vector<std::string> words{objcopy, "--add-section", ".zk=" + imagePath,
                                 "--set-section-flags", ".zk=noload,readonly", executable, output};
  std::vector<char*> argv;
  argv.reserve(std::size(words) + 1);
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child;
  if (posix_spawnp(&child, objcopy.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot run " + objcopy);
  }
  int status = 0;
  if (waitpid(child, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(objcopy + " failed to embed " + imagePath);
  }
}

}  // namespace vantor::tools
