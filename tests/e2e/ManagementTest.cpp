// killsys, transsys, ressys, transkill and sysdat.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "VantorFolder.h"

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

const std::string kNotLoaded = "A System is not loaded.  Please issue ressys or createsys.\n";
const std::string kKilled =
    "Killing Component 1...\nKilling Component 2...\nKilling Component 3...\n=== System Deleted "
    "===\n"
    "createsys or ressys required for future cryptions.\n \n";
const std::string kCopied = "Copying system files...\n=== Copy completed ===\n \n";
const std::string kRestored = "Restoring system files...\n=== Restore completed ===\n \n";
const std::vector<std::string> kSystemFiles = {"K11.bin", "K12.bin", "K13.bin",
                                               "k2.dat",  "k3.bin",  "sys.dat"};

class ManagementTest : public ::testing::Test {
 protected:
  void createSystem() {
    ASSERT_EQ(folder.session({{"createsys 3 4 5 n", kCreated}}),
              transcript(false, {{"createsys 3 4 5 n", kCreated}}));
    fs::create_directory(folder.path("Sys1"));
  }

  void expectSession(bool ready, const std::vector<Exchange>& exchanges) {
    EXPECT_EQ(folder.session(exchanges), transcript(ready, exchanges));
  }

  std::vector<std::string> namesIn(const std::string& subfolder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path(subfolder)))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  VantorFolder folder;
};

TEST_F(ManagementTest, WithoutAKeySystemThereIsNothingToManage) {
  expectSession(false, {{"killsys", kNotLoaded},
                        {"sysdat", kNotLoaded},
                        {"transsys", "Parameters missing error.  Enter help t\n \n"},
                        {"transkill", "Parameters missing error.  Enter help t\n \n"},
                        {"ressys", "Parameters missing error.  Enter help r\n \n"},
                        {"transsys Sys1", kNotLoaded},
                        {"transkill Sys1", kNotLoaded},
                        {"ressys Sys1",
                         "A System is not currently in place in the folder defined error.\n"}});
}

TEST_F(ManagementTest, KillSysDeletesTheSystemAndItsCounts) {
  createSystem();
  folder.write("K14.bin", "a leftover beyond the count");
  expectSession(true, {{"killsys now", kKilled}, {"sysdat", kNotLoaded}, {"killsys", kNotLoaded}});
  EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"K14.bin", "Sys1"}));
}

TEST_F(ManagementTest, TransferRestoreAndTransKillMoveTheSystemBetweenFolders) {
  createSystem();
  const std::string k2 = folder.read("k2.dat");
  expectSession(
      true, {{"transsys Sys1", kCopied},
             {"ressys Sys1/", "A System is currently in place.  Issue transsys and/or killsys.\n"},
             {"killsys", kKilled},
             {"ressys Sys1", kRestored},
             {"enc Sys1/k2.dat out 3 4 5",
              "Loading System data...\nEncrypting Sys1/k2.dat...\n"
              "==== Encryption completed ====\n \n"},
             {"mkdir Sys2", ""},
             {"transkill Sys2/", kCopied + kKilled},
             {"sysdat", kNotLoaded}});
  EXPECT_EQ(namesIn("Sys1"), kSystemFiles);
  EXPECT_EQ(namesIn("Sys2"), kSystemFiles);
  EXPECT_EQ(folder.read("Sys2/k2.dat"), k2);
  EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"Sys1", "Sys2", "out"}));
}

TEST_F(ManagementTest, CopiesAndRestoredFilesArePrivate) {
  createSystem();
  const mode_t saved = umask(0);
  folder.write("Sys1/k2.dat", "an older, public copy\n");
  chmod(folder.path("Sys1/k2.dat").c_str(), 0644);
  folder.session({{"transsys Sys1", kCopied}, {"killsys", kKilled}, {"ressys Sys1", kRestored}});
  umask(saved);
  for (const std::string& name : kSystemFiles) {
    for (const std::string& path : {folder.path(name), folder.path("Sys1/" + name)}) {
      struct stat status {};
      ASSERT_EQ(stat(path.c_str(), &status), 0) << path;
      EXPECT_EQ(status.st_mode & 0777, 0600u) << path;
    }
  }
}

TEST_F(ManagementTest, AFailedCopyIsReportedAndTransKillThenDeletesNothing) {
  createSystem();
  expectSession(true,
                {{"transsys Missing", "Copying system files...\nCopy of K11.bin failed error.\n"},
                 {"transkill Missing/", "Copying system files...\nCopy of K11.bin failed error.\n"},
                 {"sysdat",
                  "Examining System...\nKey component 1 has 3 entries and 46080 bytes (45K)\n"
                  "Key component 2 has 4 entries and 1120 bytes (1K)\n"
                  "Key component 3 has 5 entries and 1365 bytes (1K)\n"
                  "Total System = 48565 bytes (47K)\n \n"}});
  EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"K11.bin", "K12.bin", "K13.bin", "Sys1",
                                                          "k2.dat", "k3.bin", "sys.dat"}));
}

TEST_F(ManagementTest, TransKillIntoTheWorkingFolderItselfKeepsTheSystem) {
  createSystem();
  expectSession(true,
                {{"transsys .", kCopied},
                 {"transkill ./", "Copying system files...\nCopy of K11.bin failed error.\n"}});
  EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"K11.bin", "K12.bin", "K13.bin", "Sys1",
                                                          "k2.dat", "k3.bin", "sys.dat"}));
}

TEST_F(ManagementTest, RestoreChecksTheWholeSourceBeforeCopyingAnything) {
  createSystem();
  folder.session({{"transsys Sys1", kCopied}, {"killsys", kKilled}});
  fs::remove(folder.path("Sys1/K12.bin"));
  expectSession(false, {{"ressys Sys1", "Key system file Sys1/K12.bin cannot be read error.\n"}});
  EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"Sys1"}));
}

TEST_F(ManagementTest, SysDatCountsLinesAndCharacters) {
  folder.write("sys.dat", "100\n");
  std::string k2;
  for (int i = 0; i < 400; ++i) k2 += "0123456789\n";
  folder.write("k2.dat", k2);
  folder.write("k3.bin", std::string(273, '1') + "\r\n" + std::string(273, '2'));
  expectSession(true, {{"sysdat",
                        "Examining System...\n"
                        "Key component 1 has 100 entries and 1536000 bytes (1500K)\n"
                        "Key component 2 has 400 entries and 4000 bytes (4K)\n"
                        "Key component 3 has 2 entries and 546 bytes (1K)\n"
                        "Total System = 1540546 bytes (1504K)\n \n"}});
  fs::remove(folder.path("sys.dat"));
  expectSession(false, {{"sysdat", kNotLoaded}});
}

}  // namespace
}  // namespace vantor::test
