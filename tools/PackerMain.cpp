// vantor-pack: writes a module image and optionally embeds it into an
// executable.
//
//   vantor-pack --image OUT [--object F] [--code F] [--data F] [--import F]
//               [--symbols F] [--resource TYPE ID F]... [--plugin F]...
//               [--version-record] [--files FOLDER]
//               [--embed EXECUTABLE OUTPUT] [--objcopy PROGRAM]
//
// --object builds the code, data, import and symbols parts from an ELF
// relocatable object; --files also writes the parts as the loader's
// fallback files (code.dat, data.dat, ...) into FOLDER.
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "ModuleImageWriter.h"
#include "ObjectModule.h"
#include "host/ResourceTable.h"

namespace {

using namespace vantor::tools;

constexpr std::uint16_t kPluginResourceId = 0xFFFF;

std::uint32_t typeCode(const std::string& text) {
  if (text.size() != 4) throw std::runtime_error("a resource type has four characters: " + text);
  char code[5] = {};
  std::memcpy(code, text.data(), 4);
  return rt::host::fourCharacterCode(code);
}

std::string baseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Options {
  ImageParts parts;
  std::string image;
  std::string embedInto;
  std::string embedOutput;
  std::string filesFolder;
  std::string objcopy = "objcopy";
};

Options parse(int argc, char** argv) {
  Options options;
  std::vector<std::string> args(argv + 1, argv + argc);
  std::size_t at = 0;
  auto next = [&]() -> const std::string& {
    if (at >= args.size()) throw std::runtime_error("missing argument after " + args[at - 1]);
    return args[at++];
  };
  while (at < args.size()) {
    const std::string& option = next();
    if (option == "--image") options.image = next();
    else if (option == "--object") {
      ObjectModule module = moduleFromObject(readFile(next()));
      options.parts.code = std::move(module.code);
      options.parts.data = std::move(module.data);
      options.parts.imports = std::move(module.imports);
      options.parts.symbols = std::move(module.symbols);
    } else if (option == "--code") options.parts.code = readFile(next());
    else if (option == "--data") options.parts.data = readFile(next());
    else if (option == "--import") options.parts.imports = readFile(next());
    else if (option == "--symbols") options.parts.symbols = readFile(next());
    else if (option == "--resource") {
      const std::uint32_t type = typeCode(next());
      const auto id = static_cast<std::uint16_t>(std::stoul(next(), nullptr, 0));
      options.parts.resources.push_back({type, id, readFile(next())});
    } else if (option == "--plugin") {
      const std::string& library = next();
      options.parts.resources.push_back({rt::host::kPluginResourceType, kPluginResourceId,
                                         pluginResource(baseName(library), readFile(library))});
    } else if (option == "--version-record") {
      const Bytes record = versionOptionRecord();
      options.parts.options.insert(options.parts.options.end(), record.begin(), record.end());
    } else if (option == "--embed") {
      options.embedInto = next();
      options.embedOutput = next();
    } else if (option == "--files") {
      options.filesFolder = next();
    } else if (option == "--objcopy") {
      options.objcopy = next();
    } else {
      throw std::runtime_error("unknown option " + option);
    }
  }
  if (options.image.empty()) throw std::runtime_error("--image is required");
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = parse(argc, argv);
    writeFile(options.image, writeModuleImage(options.parts));
    if (!options.filesFolder.empty()) writeFallbackFiles(options.filesFolder, options.parts);
    if (!options.embedInto.empty()) {
      embedImage(options.objcopy, options.image, options.embedInto, options.embedOutput);
    }
    return 0;
  } catch (const std::exception& error) {
    (void)std::fprintf(stderr, "vantor-pack: %s\n", error.what());
    return 1;
  }
}
