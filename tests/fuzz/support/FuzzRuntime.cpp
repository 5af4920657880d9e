#include "FuzzRuntime.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "files/FileObjects.h"
#include "files/FolderItemApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "text/EncodingConversion.h"
#include "text/SmallBlockAllocator.h"
#include "text/StringHandle.h"
#include "text/TextEncodingClass.h"

namespace vantor::fuzz {
namespace {

void removeApplicationFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(applicationFolder(), ignored);
}

}  // namespace

void startRuntime() {
  static const bool started = [] {
    rt::exceptions::registerExceptionClasses();
    for (const rt::ClassDefinition* definition : rt::exceptions::allDefinitions()) {
      rt::objects::classFor(*definition);
    }
    for (const rt::ClassDefinition* definition :
         {&rt::files::folderItemClass, &rt::files::binaryStreamClass, &rt::files::textInputStreamClass,
          &rt::files::textOutputStreamClass, &rt::text::textEncodingClass}) {
      rt::objects::classFor(*definition);
    }
    return true;
  }();
  (void)started;
}

const std::string& applicationFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantor-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) fail("cannot make a temporary folder");
    RuntimeSetApplicationPath(rt::String(pattern).get());
    return pattern;
  }();
  static const bool removedAtExit = std::atexit(removeApplicationFolder) == 0;
  (void)removedAtExit;
  return folder;
}

void emptyApplicationFolder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(applicationFolder(), ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

void writeFile(std::string_view name, std::string_view bytes) {
  std::ofstream out(applicationFolder() + "/" + std::string(name), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) fail("cannot write " + std::string(name) + " in " + applicationFolder());
}

void fail(const std::string& message) {
  (void)std::fprintf(stderr, "fuzz check failed: %s\n", message.c_str());
  (void)std::fflush(stderr);
  std::abort();
}

Balance::Balance() {
  rt::text::clearConversionCache();
  bytes_ = rt::memory::bytesInUse();
  objects_ = rt::objects::liveObjectCount();
}

void Balance::expectUnchanged(const char* what) const {
  rt::text::clearConversionCache();
  RTObject* pending = rt::exceptions::take();
  check(pending == nullptr, std::string(what) + " left an exception pending");
  const std::int64_t bytes = rt::memory::bytesInUse();
  check(bytes == bytes_, std::string(what) + " changed the allocator's bytes in use from " +
                             std::to_string(bytes_) + " to " + std::to_string(bytes));
  const std::int64_t objects = rt::objects::liveObjectCount();
  check(objects == objects_, std::string(what) + " changed the live objects from " + std::to_string(objects_) +
                                 " to " + std::to_string(objects));
}

}  // namespace vantor::fuzz
