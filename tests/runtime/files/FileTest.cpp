#include "FileTest.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "files/FileObjects.h"
#include "files/FolderItemApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "text/StringHandle.h"
#include "text/TextEncodingClass.h"

namespace rt::test {
namespace {

// Class records live for the whole process; building them up front keeps
// them out of every test's allocation balance.
class FileClassesEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    for (const ClassDefinition* definition :
         {&files::folderItemClass, &files::binaryStreamClass, &files::textInputStreamClass,
          &files::textOutputStreamClass, &text::textEncodingClass,
          &exceptions::unsupportedFormatException, &exceptions::nilObjectException}) {
      objects::classFor(*definition);
    }
  }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new FileClassesEnvironment);

}  // namespace

void FileTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vantor-files-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  folder_ = pattern;
  RuntimeTest::SetUp();
  RuntimeSetApplicationPath(String(folder_).get());
}

void FileTest::TearDown() {
  RuntimeTest::TearDown();
  std::error_code ignored;
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(folder_, ignored);
}

void FileTest::writeFile(std::string_view name, std::string_view bytes) const {
  std::ofstream(path(name), std::ios::binary) << bytes;
}

std::string FileTest::readFile(std::string_view name) const {
  std::ifstream in(path(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FileTest::fileExists(std::string_view name) const {
  return std::filesystem::exists(std::filesystem::symlink_status(path(name)));
}

}  // namespace rt::test
