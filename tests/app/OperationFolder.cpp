#include "OperationFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ModuleGlobals.h"
#include "Operations.h"
#include "RandomDraws.h"
#include "console/ConsoleApi.h"
#include "files/FileObjects.h"
#include "files/FolderItemApi.h"
#include "objects/ClassRegistry.h"
#include "text/TextEncodingClass.h"

namespace vantor::app::test {
namespace {

// Class records and the standard error stream (the progress line's) live for
// the whole process; making them up front keeps them out of every test's
// allocation balance.
class ProcessObjectsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    for (const rt::ClassDefinition* definition :
         {&rt::files::folderItemClass, &rt::files::binaryStreamClass,
          &rt::files::textInputStreamClass, &rt::files::textOutputStreamClass,
          &rt::text::textEncodingClass}) {
      rt::objects::classFor(*definition);
    }
    RuntimeUnlockObject(RuntimeGetStdErr());
  }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ProcessObjectsEnvironment);

}  // namespace

void OperationFolderTest::SetUp() {
  RuntimeTest::SetUp();
  RuntimeSetApplicationPath(rt::String(folder_.path().string()).get());
  createModuleGlobals();
}

void OperationFolderTest::TearDown() {
  replaceRandomReader({});
  releaseModuleGlobals();
  RuntimeTest::TearDown();
}

std::string OperationFolderTest::run(const std::string& line, void (*operation)()) {
  globals().cmd = rt::String(line);
  systemData(0);
  ::testing::internal::CaptureStdout();
  operation();
  return ::testing::internal::GetCapturedStdout();
}

std::string OperationFolderTest::read(std::string_view name) const {
  std::ifstream in(folder_ / std::string(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void OperationFolderTest::write(std::string_view name, std::string_view bytes) const {
  std::ofstream(folder_ / std::string(name), std::ios::binary) << bytes;
}

std::vector<std::string> OperationFolderTest::fileNames() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

void OperationFolderTest::clear() const {
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
    std::filesystem::remove_all(entry.path());
}

}  // namespace vantor::app::test
