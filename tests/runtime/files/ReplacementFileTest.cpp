// Files the application writes with care: private key files and whole-or-nothing
// replacement of an output (the end-to-end tests cover same files under two
// names and writes past the file size limit).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "FileTest.h"
#include "files/FolderItem.h"
#include "files/ReplacementFile.h"

namespace {

namespace fs = std::filesystem;
using rt::FolderItem;
using rt::String;

class CarefulFileTest : public rt::test::FileTest {
 protected:
  FolderItem item(std::string_view name) { return FolderItem::get(String(name)); }

  mode_t modeOf(std::string_view name) const {
    struct stat status {};
    EXPECT_EQ(stat(path(name).c_str(), &status), 0) << name;
    return status.st_mode & 07777;
  }

  std::vector<std::string> namesInFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder()))
      names.push_back(entry.path().filename());
    return names;
  }
};

class UmaskScope {
 public:
  explicit UmaskScope(mode_t mask) : saved_(umask(mask)) {}
  ~UmaskScope() { umask(saved_); }

 private:
  mode_t saved_;
};

TEST_F(CarefulFileTest, PrivateTextFilesAreOwnerOnlyWhateverTheUmask) {
  for (mode_t mask : {mode_t{0}, mode_t{022}, mode_t{0277}}) {
    UmaskScope scope(mask);
    writeFile("k2.dat", "old contents");
    chmod(path("k2.dat").c_str(), 0644);
    rt::TextOutputStream out = item("k2.dat").createPrivateTextFile();
    ASSERT_TRUE(out) << "umask " << mask;
    EXPECT_EQ(modeOf("k2.dat"), 0600u) << "umask " << mask;
    out.writeLine(String("0000001"));
    out.close();
    EXPECT_EQ(readFile("k2.dat"), "0000001\n");
    fs::remove(path("k2.dat"));

    out = item("k3.bin").createPrivateTextFile();
    ASSERT_TRUE(out);
    EXPECT_EQ(modeOf("k3.bin"), 0600u) << "new file, umask " << mask;
    out.close();
    fs::remove(path("k3.bin"));
  }
}

// A replacement is written beside its file and takes its place only when
// committed; abandoned, it leaves neither its bytes nor its name behind.
TEST_F(CarefulFileTest, OnlyACommittedReplacementTakesThePlaceOfTheOldFile) {
  std::vector<std::uint8_t> bytes(100000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  const std::string written(bytes.begin(), bytes.end());
  for (bool commit : {true, false}) {
    writeFile("out.enc", "older output");
    {
      rt::ReplacementFile replacement(item("out.enc"));
      ASSERT_TRUE(replacement.stream());
      ASSERT_TRUE(replacement.stream().writeFrom(bytes));
      EXPECT_EQ(readFile("out.enc"), "older output") << "replaced before commit";
      if (commit) {
        ASSERT_TRUE(replacement.commit());
      }
    }
    EXPECT_EQ(readFile("out.enc"), commit ? written : "older output") << "commit " << commit;
    EXPECT_EQ(namesInFolder(), std::vector<std::string>{"out.enc"}) << "commit " << commit;
  }
}

TEST_F(CarefulFileTest, AFolderOrAMissingFolderGetsNeitherAReplacementNorAPrivateFile) {
  fs::create_directory(path("sub"));
  EXPECT_FALSE(rt::ReplacementFile(item("sub")).stream());
  EXPECT_FALSE(rt::ReplacementFile(item("missing/out.enc")).stream());
  EXPECT_FALSE(item("missing/K11.bin").createPrivateTextFile());
}

}  // namespace
