#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "FileTest.h"
#include "files/FileObjects.h"
#include "files/FolderItem.h"
#include "files/FolderItemApi.h"
#include "host/CommandLine.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionHandle.h"
#include "text/Encodings.h"

namespace {

namespace fs = std::filesystem;
using rt::FolderItem;
using rt::String;

constexpr std::uint64_t kThreeGiB = 3ull << 30;

class FolderItemTest : public rt::test::FileTest {
 protected:
  FolderItem item(std::string_view name) {
    FolderItem found = FolderItem::get(String(name));
    EXPECT_TRUE(found) << name;
    return found;
  }
};

TEST_F(FolderItemTest, RelativeNamesResolveAgainstTheApplicationFolderNotTheCurrentDirectory) {
  const fs::path current = fs::current_path();
  fs::current_path("/");
  FolderItem missing = item("sys.dat");
  fs::current_path(current);
  EXPECT_EQ(missing.absolutePath().str(), path("sys.dat"));
  EXPECT_FALSE(missing.exists());
  EXPECT_EQ(missing.lastErrorCode(), ENOENT);
}

// The application folder is found once per process and every file test sets
// it, so each case runs in a fresh process that only records a command line.
class ApplicationFolderTest : public rt::test::RuntimeTest {
 protected:
  // Whether "sys.dat" names expected for the program path, both in the
  // directory the process starts in and after it has moved to another one.
  static bool namesSysDatIn(const char* program, const std::string& start,
                            const std::string& expected) {
    fs::current_path(start);
    std::string argument = program;
    char* argv[] = {argument.data(), nullptr};
    rt::host::setCommandLine(1, argv);
    const bool first = FolderItem::get(String("sys.dat")).absolutePath().str() == expected;
    fs::current_path("/");
    return first && FolderItem::get(String("sys.dat")).absolutePath().str() == expected;
  }
};

TEST_F(ApplicationFolderTest, IsTheFolderOfTheProgramPathAsStartUpLeftIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string temporary = fs::temp_directory_path().string();
  const struct {
    const char* program;
    std::string expected;
  } cases[] = {
      {"/opt/v/tool", "/opt/v/sys.dat"},
      {"bin/tool", temporary + "/bin/sys.dat"},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(std::_Exit(namesSysDatIn(c.program, temporary, c.expected) ? 0 : 1),
                ::testing::ExitedWithCode(0), "")
        << c.program;
  }
}

// Path types: 0 a path, 1 an absolute shell path, 2 a file URL; others name nothing.
TEST_F(FolderItemTest, EachPathTypeNamesAnItemOrNil) {
  fs::create_directory(path("sub"));
  writeFile("plain", "x");
  const struct {
    std::string text;
    int type;
    std::string path;  // empty: nil
  } cases[] = {
      {"", 0, folder() + "/"},
      {"sub", 0, path("sub/")},
      {path("sub/"), 0, path("sub/")},
      {"plain/inner", 0, ""},  // stat fails with ENOTDIR
      {std::string("a\0b", 3), 0, ""},
      {"x", 3, ""},
      {"x", -1, ""},
      {path("a"), 1, path("a")},
      {"file://" + path("a%20b"), 2, path("a b")},
      {"FILE://localhost" + path("c"), 2, path("c")},
      {"file:" + path("d"), 2, path("d")},
      {"file://elsewhere/x", 2, ""},
      {"http://host/x", 2, ""},
      {"file:///bad%2", 2, ""},
      {"file:///zero%00byte", 2, ""},
  };
  for (const auto& c : cases) {
    FolderItem found = FolderItem::get(String(c.text), c.type);
    EXPECT_EQ(found ? found.absolutePath().str() : "", c.path) << c.text << " as type " << c.type;
  }
  EXPECT_EQ(item("sub").lastErrorCode(), 0);
}

TEST_F(FolderItemTest, ShellPathsMustBeAbsolute) {
  try {
    FolderItem::get(String("relative"), 1);
    FAIL() << "no exception";
  } catch (const rt::Exception& e) {
    EXPECT_EQ(e.className(), "UnsupportedFormatException");
    EXPECT_EQ(e.message(), "Passing non-absolute shell paths is not currently supported");
  }
}

TEST_F(FolderItemTest, PathsAreConvertedToUtf8) {
  // "é.txt" in UTF-16 little-endian: wide text must not be taken byte by byte.
  const std::string utf16("\xE9\x00.\x00t\x00x\x00t\x00", 10);
  FolderItem wide = FolderItem::get(String::bytes(utf16, kEncodingUTF16));
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide.absolutePath().str(), path("\xC3\xA9.txt"));
  EXPECT_EQ(wide.absolutePath().encoding(), kEncodingUTF8);
  EXPECT_EQ(item("plain.txt").absolutePath().encoding(), kEncodingASCII);
}

TEST_F(FolderItemTest, SymbolicLinksAreFollowedOneLevel) {
  writeFile("target.txt", "t");
  fs::create_directory(path("dir"));
  fs::create_symlink("target.txt", path("link"));
  fs::create_symlink(path("dir"), path("dirlink"));
  fs::create_symlink("link", path("link2"));
  fs::create_symlink("nothing", path("dangling"));
  fs::create_symlink("target.txt/inner", path("through"));

  EXPECT_EQ(item("link").absolutePath().str(), path("target.txt"));
  EXPECT_FALSE(item("link").isAlias());
  EXPECT_EQ(item("dirlink").absolutePath().str(), path("dir/"));
  FolderItem second = item("link2");
  EXPECT_EQ(second.absolutePath().str(), path("link"));
  EXPECT_TRUE(second.isAlias());
  EXPECT_EQ(item("dangling").absolutePath().str(), path("nothing"));
  EXPECT_FALSE(FolderItem::get(String("through"))) << "stat through the link fails with ENOTDIR";
}

// Like every relative name, a relative link target is taken against the
// application folder, wherever the link itself lies.
TEST_F(FolderItemTest, RelativeLinkTargetsResolveAgainstTheApplicationFolder) {
  fs::create_directory(path("sub"));
  writeFile("sub/target.txt", "beside the link");
  writeFile("target.txt", "in the application folder");
  fs::create_symlink("target.txt", path("sub/link"));
  EXPECT_EQ(item("sub/link").absolutePath().str(), path("target.txt"));
}

TEST_F(FolderItemTest, NameIsTheLastComponent) {
  fs::create_directory(path("sub"));
  const struct {
    std::string path;
    const char* name;
  } cases[] = {{"/", "/"}, {path("file.txt"), "file.txt"}, {path("sub"), "sub"}};
  for (const auto& c : cases) EXPECT_EQ(item(c.path).name().str(), c.name) << c.path;
}

TEST_F(FolderItemTest, RenamingFollowsTheRulesOfRename) {
  FolderItem missing = item("ghost");
  missing.setName(String("spirit"));
  EXPECT_EQ(missing.absolutePath().str(), path("spirit"));
  EXPECT_FALSE(fileExists("spirit"));

  writeFile("old", "old contents");
  writeFile("other", "replaced");
  FolderItem file = item("old");
  file.setName(String("other"));
  EXPECT_EQ(file.absolutePath().str(), path("other"));
  EXPECT_FALSE(fileExists("old"));
  EXPECT_EQ(readFile("other"), "old contents");

  fs::create_directory(path("folder"));
  FolderItem folderItem = item("folder");
  folderItem.setName(String("renamed"));
  EXPECT_EQ(folderItem.absolutePath().str(), path("renamed"));
  EXPECT_TRUE(fs::is_directory(path("renamed")));

  file.setName(String("nowhere/x"));
  EXPECT_EQ(file.lastErrorCode(), ENOENT);
  EXPECT_EQ(file.absolutePath().str(), path("other"));
}

TEST_F(FolderItemTest, KindAndTrueLengthEvenBeyondTwoGiB) {
  writeFile("five", "12345");
  writeFile("big", "");
  fs::resize_file(path("big"), kThreeGiB);
  fs::create_directory(path("dir"));
  EXPECT_TRUE(item("dir").isDirectory());
  const struct {
    const char* name;
    bool readable;
    std::uint64_t length;
    int error;
  } cases[] = {{"five", true, 5, 0}, {"big", true, kThreeGiB, 0}, {"missing", false, 0, ENOENT}};
  for (const auto& c : cases) {
    FolderItem found = item(c.name);
    EXPECT_EQ(found.length(), c.length) << c.name;
    EXPECT_EQ(found.lastErrorCode(), c.error) << c.name;
    EXPECT_FALSE(found.isDirectory()) << c.name;
    EXPECT_EQ(found.isReadable(), c.readable) << c.name;
    EXPECT_EQ(found.lastErrorCode(), c.error) << c.name;
  }
}

TEST_F(FolderItemTest, DeleteRemovesFilesAndOnlyEmptyFolders) {
  writeFile("file", "x");
  fs::create_directories(path("full/inner"));
  fs::create_directory(path("empty"));
  FolderItem file = item("file");
  file.remove();
  EXPECT_FALSE(file.exists());
  item("empty").remove();
  EXPECT_FALSE(fileExists("empty"));

  FolderItem full = item("full");
  full.remove();
  EXPECT_EQ(full.lastErrorCode(), ENOTEMPTY);
  EXPECT_TRUE(full.exists());
}

TEST_F(FolderItemTest, CreateAsFolderLeavesAFolderPath) {
  FolderItem made = item("made");
  made.createAsFolder();
  EXPECT_TRUE(made.isDirectory());
  EXPECT_EQ(made.absolutePath().str(), path("made/"));

  writeFile("file", "x");
  FolderItem file = item("file");
  file.createAsFolder();
  EXPECT_EQ(file.lastErrorCode(), EEXIST);
  EXPECT_EQ(file.absolutePath().str(), path("file"));
}

TEST_F(FolderItemTest, CopyTakesEveryByteOfAPathLiterallyAndRunsNothing) {
  const std::string awkward = "a b;touch pwned$(touch pwned2)`touch pwned3`'\"&|*?\\x\n";
  writeFile(awkward, "secret");
  FolderItem copy = item("copy of " + awkward);
  item(awkward).copyFileTo(copy);
  EXPECT_EQ(readFile("copy of " + awkward), "secret");
  EXPECT_EQ(item(awkward).lastErrorCode(), 0);
  for (const char* planted : {"pwned", "pwned2", "pwned3"}) {
    EXPECT_FALSE(fileExists(planted)) << planted;
    EXPECT_FALSE(fs::exists(fs::current_path() / planted)) << planted;
  }
}

TEST_F(FolderItemTest, CopyReplacesFilesAndFillsFolders) {
  writeFile("source", "new");
  writeFile("destination", "old");
  fs::create_directory(path("into"));
  FolderItem source = item("source");
  source.copyFileTo(item("destination"));
  EXPECT_EQ(readFile("destination"), "new");
  source.copyFileTo(item("into"));
  EXPECT_EQ(readFile("into/source"), "new");
  EXPECT_EQ(source.lastErrorCode(), 0);
  EXPECT_TRUE(source.exists());
}

TEST_F(FolderItemTest, FailedCopiesLeaveAnErrorCode) {
  fs::create_directory(path("folder"));
  FolderItem folderItem = item("folder");
  folderItem.copyFileTo(item("copy"));
  EXPECT_EQ(folderItem.lastErrorCode(), EIO) << "cp exits with a nonzero status";
  EXPECT_FALSE(fileExists("copy"));

  FolderItem missing = item("missing");
  missing.copyFileTo(item("copy"));
  EXPECT_EQ(missing.lastErrorCode(), EIO);
  EXPECT_THROW(item("missing").copyFileTo(FolderItem()), rt::Exception);
  EXPECT_THROW(item("missing").moveFileTo(FolderItem()), rt::Exception);
}

TEST_F(FolderItemTest, MoveReplacesTheDestinationAndKeepsTheItemsPath) {
  writeFile("from $x", "moved");
  writeFile("to", "old");
  FolderItem from = item("from $x");
  from.moveFileTo(item("to"));
  EXPECT_EQ(readFile("to"), "moved");
  EXPECT_EQ(from.absolutePath().str(), path("from $x"));
  EXPECT_FALSE(from.exists());
}

TEST_F(FolderItemTest, WriteProbeOfAFolderLeavesNoTraceAndKeepsItsDate) {
  const auto before = fs::last_write_time(folder()) - std::chrono::hours(1);
  fs::last_write_time(folder(), before);
  EXPECT_TRUE(item("not yet").isWriteable());
  EXPECT_FALSE(item("not yet").locked());
  EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 0);
  EXPECT_EQ(fs::last_write_time(folder()), before);
  FolderItem inMissing = item("no/such/file");
  EXPECT_TRUE(inMissing.locked());
  EXPECT_EQ(inMissing.lastErrorCode(), ENOENT);
}

// access() judges by the real user and the probes by the effective one; a
// child process that changes its users shows both sides.
TEST_F(FolderItemTest, WriteProbesDecideWhereAccessSaysNo) {
  if (geteuid() != 0) GTEST_SKIP() << "needs to switch users";
  writeFile("readonly", "abc");
  fs::permissions(path("readonly"),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(folder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
  constexpr uid_t kNobody = 65534;
  EXPECT_EXIT(
      {
        bool ok = setreuid(kNobody, 0) == 0;
        ok = ok && FolderItem::get(String("readonly")).isWriteable();
        ok = ok && setreuid(0, 0) == 0 && setuid(kNobody) == 0;
        FolderItem readonly = FolderItem::get(String("readonly"));
        ok = ok && readonly.locked() && readonly.lastErrorCode() == EACCES;
        FolderItem fresh = FolderItem::get(String("fresh"));
        ok = ok && !fresh.createBinaryFile() && fresh.lastErrorCode() == EACCES;
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(readFile("readonly"), "abc");
}

TEST_F(FolderItemTest, StreamsAreMadeWithTheRightModes) {
  writeFile("existing", "contents");
  EXPECT_TRUE(item("existing").openAsBinaryFile(true));
  EXPECT_EQ(readFile("existing"), "contents") << "opening never truncates";
  EXPECT_TRUE(item("existing").createBinaryFile(String("All")));
  EXPECT_EQ(readFile("existing"), "");

  for (bool write : {false, true}) {
    FolderItem missing = item("missing");
    EXPECT_FALSE(missing.openAsBinaryFile(write));
    EXPECT_EQ(missing.lastErrorCode(), ENOENT);
  }
  FolderItem missing = item("missing");
  EXPECT_FALSE(missing.openAsTextFile());
  EXPECT_EQ(missing.lastErrorCode(), ENOENT);
  EXPECT_FALSE(item("no/such/file").createTextFile());
  fs::create_directory(path("dir"));
  FolderItem dir = item("dir");
  EXPECT_FALSE(dir.createBinaryFile());
  EXPECT_EQ(dir.lastErrorCode(), EISDIR);
  // Nor does a folder open for reading, where no read would ever succeed.
  for (bool write : {false, true}) {
    FolderItem folder = item("dir");
    EXPECT_FALSE(folder.openAsBinaryFile(write));
    EXPECT_EQ(folder.lastErrorCode(), EISDIR);
  }
  EXPECT_FALSE(dir.openAsTextFile());
  EXPECT_EQ(dir.lastErrorCode(), EISDIR);
}

TEST_F(FolderItemTest, AppendingWritesAtTheEndOrCreates) {
  writeFile("log", "one\n");
  item("log").appendToTextFile().writeLine(String("two"));
  EXPECT_EQ(readFile("log"), "one\ntwo\n");
  item("new").appendToTextFile().writeLine(String("first"));
  EXPECT_EQ(readFile("new"), "first\n");
}

TEST_F(FolderItemTest, AnItemWithoutImplementationAnswersEmptyAndReportsMethods) {
  FolderItem bare(rt::newObject(rt::objects::classFor(rt::files::folderItemClass)));
  EXPECT_FALSE(bare.exists());
  EXPECT_EQ(bare.length(), 0u);
  EXPECT_TRUE(bare.name().empty());
  testing::internal::CaptureStdout();
  bare.remove();
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("Failure Condition: entry->mImp"), std::string::npos) << report;
  EXPECT_NE(report.find("../Common/runFolderItem"), std::string::npos) << report;
}

TEST_F(FolderItemTest, NilItemsRaiseNilObjectException) {
  try {
    FolderItem().exists();
    FAIL() << "no exception";
  } catch (const rt::Exception& e) {
    EXPECT_EQ(e.className(), "NilObjectException");
  }
}

}  // namespace
