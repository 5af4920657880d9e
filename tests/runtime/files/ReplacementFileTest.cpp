// Files the application writes with care: private key files, whole-or-nothing
// replacement of an output, bulk reads and writes (the end-to-end tests cover
// same files under two names and writes past the file size limit).
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

TEST_F(CarefulFileTest, PrivateFileInAMissingFolderIsNull) {
  EXPECT_FALSE(item("no-such-folder/K11.bin").createPrivateTextFile());
}

TEST_F(CarefulFileTest, CommittedReplacementTakesThePlaceOfTheOldFile) {
  writeFile("out.enc", "older output");
  {
    rt::ReplacementFile replacement(item("out.enc"));
    ASSERT_TRUE(replacement.stream());
    const std::vector<std::uint8_t> bytes{1, 2, 3, 0, 255};
    ASSERT_TRUE(replacement.stream().writeFrom(bytes));
    EXPECT_EQ(readFile("out.enc"), "older output") << "replaced before commit";
    ASSERT_TRUE(replacement.commit());
  }
  EXPECT_EQ(readFile("out.enc"), std::string("\x01\x02\x03\x00\xff", 5));
  EXPECT_EQ(namesInFolder(), std::vector<std::string>{"out.enc"});
}

TEST_F(CarefulFileTest, AbandonedReplacementLeavesTheOldFileAndNoTemporaryFile) {
  writeFile("out.enc", "older output");
  {
    rt::ReplacementFile replacement(item("out.enc"));
    ASSERT_TRUE(replacement.stream());
    ASSERT_TRUE(replacement.stream().writeFrom(std::vector<std::uint8_t>(100000, 7)));
  }
  EXPECT_EQ(readFile("out.enc"), "older output");
  EXPECT_EQ(namesInFolder(), std::vector<std::string>{"out.enc"});
}

TEST_F(CarefulFileTest, ReplacementOfAFolderOrInAMissingFolderHasNoStream) {
  fs::create_directory(path("sub"));
  EXPECT_FALSE(rt::ReplacementFile(item("sub")).stream());
  EXPECT_FALSE(rt::ReplacementFile(item("missing/out.enc")).stream());
}

TEST_F(CarefulFileTest, BulkReadsTakeWhatIsThere) {
  writeFile("in", "abcdef");
  rt::BinaryStream in = item("in").openAsBinaryFile(false);
  std::vector<std::uint8_t> buffer(4);
  EXPECT_EQ(in.readInto(buffer), 4u);
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "abcd");
  EXPECT_EQ(in.readInto(buffer), 2u);
  EXPECT_EQ(in.readInto(buffer), 0u);
  in.close();
  EXPECT_EQ(in.readInto(buffer), 0u);
  EXPECT_FALSE(in.writeFrom(buffer));
}

}  // namespace
