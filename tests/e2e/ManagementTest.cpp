// killsys, transsys, ressys, transkill and sysdat.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <random>

#include "VantorFolder.h"

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

const std::string kKilled =
    "Killing Component 1...\nKilling Component 2...\nKilling Component 3...\n=== System Deleted "
    "===\n"
    "createsys or ressys required for future cryptions.\n \n";
const std::string kCopied = "Copying system files...\n=== Copy completed ===\n \n";
const std::string kRestored = "Restoring system files...\n=== Restore completed ===\n \n";
const std::vector<std::string> kSystemFiles = {"K11.bin", "K12.bin", "K13.bin",
                                               "k2.dat",  "k3.bin",  "sys.dat"};

class ManagementTest : public VantorTest {
 protected:
  void createSystem() {
    folder.createSystem();
    fs::create_directory(folder.path("Sys1"));
  }
};

TEST_F(ManagementTest, WithoutAKeySystemThereIsNothingToManage) {
  folder.expectSession(
      false,
      {{"killsys", kNotLoaded},
       {"sysdat", kNotLoaded},
       {"transsys", "Parameters missing error.  Enter help t\n \n"},
       {"transkill", "Parameters missing error.  Enter help t\n \n"},
       {"ressys", "Parameters missing error.  Enter help r\n \n"},
       {"transsys Sys1", kNotLoaded},
       {"transkill Sys1", kNotLoaded},
       {"ressys Sys1", "A System is not currently in place in the folder defined error.\n"}});
}

// Copies and restored files are private whatever the umask, even where an
// older, public copy was.
TEST_F(ManagementTest, TransferRestoreAndTransKillMoveTheSystemPrivatelyBetweenFolders) {
  createSystem();
  const std::string k2 = folder.read("k2.dat");
  const mode_t saved = umask(0);
  folder.write("Sys1/k2.dat", "an older, public copy\n");
  chmod(folder.path("Sys1/k2.dat").c_str(), 0644);
  folder.expectSession(
      true, {{"transsys Sys1", kCopied},
             {"ressys Sys1/", "A System is currently in place.  Issue transsys and/or killsys.\n"},
             {"killsys", kKilled},
             {"ressys Sys1", kRestored},
             {"enc Sys1/k2.dat out 3 4 5",
              "Loading System data...\nEncrypting Sys1/k2.dat...\n"
              "==== Encryption completed ====\n \n"}});
  for (const std::string& name : kSystemFiles) {
    EXPECT_EQ(folder.permissions(name), 0600) << name;
    EXPECT_EQ(folder.permissions("Sys1/" + name), 0600) << name;
  }
  folder.expectSession(
      true, {{"mkdir Sys2", ""}, {"transkill Sys2/", kCopied + kKilled}, {"sysdat", kNotLoaded}});
  umask(saved);
  for (const std::string& name : kSystemFiles)
    EXPECT_EQ(folder.permissions("Sys2/" + name), 0600) << name;
  EXPECT_EQ(folder.fileNames("Sys1"), kSystemFiles);
  EXPECT_EQ(folder.fileNames("Sys2"), kSystemFiles);
  EXPECT_EQ(folder.read("Sys2/k2.dat"), k2);
  EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"Sys1", "Sys2", "out"}));
}

// A copy onto the working folder's own files is done for transsys, and a
// failure for transkill, which would otherwise delete the only copy.
TEST_F(ManagementTest, AFailedCopyIsReportedAndTransKillThenDeletesNothing) {
  createSystem();
  const std::string failed = "Copying system files...\nCopy of K11.bin failed error.\n";
  folder.expectSession(
      true, {{"transsys Missing", failed},
             {"transkill Missing/", failed},
             {"transsys .", kCopied},
             {"transkill ./", failed},
             {"sysdat",
              "Examining System...\nKey component 1 has 3 entries and 46080 bytes (45K)\n"
              "Key component 2 has 4 entries and 1120 bytes (1K)\n"
              "Key component 3 has 5 entries and 1365 bytes (1K)\n"
              "Total System = 48565 bytes (47K)\n \n"}});
  EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"K11.bin", "K12.bin", "K13.bin", "Sys1",
                                                          "k2.dat", "k3.bin", "sys.dat"}));
}

TEST_F(ManagementTest, RestoreChecksTheWholeSourceBeforeCopyingAnything) {
  createSystem();
  folder.session({{"transsys Sys1", kCopied}, {"killsys", kKilled}});
  fs::remove(folder.path("Sys1/K12.bin"));
  folder.expectSession(false,
                       {{"ressys Sys1", "Key system file Sys1/K12.bin cannot be read error.\n"}});
  EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"Sys1"}));
}

// A damaged count: trying every name up to it would take hours. Names past
// the count, or not of a key file, are kept.
TEST_F(ManagementTest, KillSysDeletesTheSystemAndItsCountsWhateverTheCount) {
  folder.write("sys.dat", "1000000000\n");
  const std::vector<std::string> deleted = {"K11.bin",          "K12.bin", "K17.bin",
                                            "K11000000000.bin", "k2.dat",  "k3.bin"};
  const std::vector<std::string> kept = {"K1.bin",           "K10.bin", "K101.bin",
                                         "K11000000001.bin", "K1x.bin", "k11.bin"};
  for (const auto& names : {deleted, kept}) {
    for (const std::string& name : names) folder.write(name, "key\n");
  }
  folder.expectSession(true,
                       {{"killsys now", kKilled}, {"sysdat", kNotLoaded}, {"killsys", kNotLoaded}});
  EXPECT_EQ(folder.fileNames(), kept);
}

TEST_F(ManagementTest, ACopyThatFailsHalfwayLeavesNoSystemBehind) {
  // k2.dat of 4000 lines is larger than the limit below; the other files and
  // the unpacked plugin are not.
  folder.createSystem("3 4000 5 n");
  for (const char* name : {"Sys1", "Sys2"}) fs::create_directory(folder.path(name));
  folder.session({{"transsys Sys1", kCopied}, {"transsys Sys2", kCopied}, {"killsys", kKilled}});
  {
    const FileSizeLimit limit(1 << 20);
    folder.expectSession(false, {{"ressys Sys1",
                                  "Restoring system files...\n"
                                  "Copy of Sys1/k2.dat failed error.\n"},
                                 {"sysdat", kNotLoaded}});
  }
  EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"Sys1", "Sys2"}));
  folder.expectSession(false, {{"ressys Sys1", kRestored}});
  {
    const FileSizeLimit limit(1 << 20);
    folder.expectSession(true, {{"transsys Sys2",
                                 "Copying system files...\n"
                                 "Copy of k2.dat failed error.\n"}});
  }
  EXPECT_FALSE(folder.exists("Sys2/sys.dat"));
  EXPECT_EQ(folder.leftovers("Sys2"), std::vector<std::string>{});
}

// Signals at random moments of copies of a key system: whatever the moment,
// a folder that holds sys.dat holds every file of one system, and no
// temporary file is left.
TEST_F(ManagementTest, SignalsDuringCopiesNeverLeaveHalfASystem) {
  using System = std::map<std::string, std::string>;
  const auto makeSystem = [](char digit) {
    constexpr int kEntries = 40;
    System files;
    for (int i = 1; i <= kEntries; ++i)
      files["K1" + std::to_string(i) + ".bin"] =
          lines(std::vector<std::string>(20, std::string(768, digit)));
    // Long k2.dat and k3.bin: the end of a copy is where a system fell apart.
    files["k2.dat"] = lines(std::vector<std::string>(1000, std::string(280, digit)));
    files["k3.bin"] = lines(std::vector<std::string>(1000, std::string(273, digit)));
    files["sys.dat"] = std::to_string(kEntries) + "\n";
    return files;
  };
  const System newer = makeSystem('1');
  const System older = makeSystem('2');
  // Removed before written: a file truncated and written anew is flushed to
  // disk when closed, which would make the test slow.
  const auto put = [&](const std::string& prefix, const System& system) {
    for (const auto& [name, bytes] : system) {
      fs::remove(folder.path(prefix + name));
      folder.write(prefix + name, bytes);
    }
  };
  const auto holds = [&](const std::string& prefix, const System& system) {
    for (const auto& [name, bytes] : system) {
      if (!folder.exists(prefix + name) || folder.read(prefix + name) != bytes) return false;
    }
    return true;
  };
  fs::create_directory(folder.path("Sys1"));
  put("", newer);
  const auto started = std::chrono::steady_clock::now();
  folder.expectSession(true, {{"transsys Sys1", kCopied}});
  const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - started);

  const unsigned seed = std::random_device{}();
  std::mt19937 dice(seed);
  for (int run = 0; run < 20; ++run) {
    // transsys onto an older system in Sys1; ressys into an empty working folder.
    const bool restoring = run % 2 == 1;
    const std::string copy = restoring ? "" : "Sys1/";
    if (restoring) {
      put("Sys1/", newer);
      for (const auto& [name, bytes] : newer) fs::remove(folder.path(name));
    } else {
      put("", newer);
      put("Sys1/", older);
    }
    const int signalNumber = run % 4 < 2 ? SIGTERM : SIGINT;
    const std::chrono::microseconds delay = randomDelay(dice, runTime);
    const auto result =
        folder.runAndSignal(restoring ? "ressys Sys1\n" : "transsys Sys1\n",
                            restoring ? "Restoring" : "Copying", signalNumber, delay);
    const std::string context = "seed " + std::to_string(seed) + ", run " + std::to_string(run) +
                                " after " + std::to_string(delay.count()) + " us";
    ASSERT_FALSE(result.timedOut) << context;
    EXPECT_TRUE(!folder.exists(copy + "sys.dat") || holds(copy, newer) ||
                (!restoring && holds(copy, older)))
        << context;
    EXPECT_EQ(folder.leftovers(), std::vector<std::string>{}) << context;
    EXPECT_EQ(folder.leftovers("Sys1"), std::vector<std::string>{}) << context;
  }
}

// Special files where key files belong are unreadable key files: nothing
// waits on a FIFO or copies a device without end.
TEST_F(ManagementTest, KeyFilesThatAreNoRegularFilesCountAsUnreadable) {
  struct Case {
    const char* name;
    bool fifo;  // else a link to /dev/zero
    const char* line;
  };
  const Case cases[] = {
      {"sys.dat", true, "sysdat"},           {"k2.dat", true, "sysdat"},
      {"k3.bin", false, "sysdat"},           {"K11.bin", true, "transsys Sys1"},
      {"K12.bin", false, "transsys Sys1"},   {"Sys1/K13.bin", true, "ressys Sys1"},
      {"Sys1/k2.dat", false, "ressys Sys1"},
  };
  for (const Case& c : cases) {
    const VantorFolder own;
    const std::string line = c.line;
    const bool restoring = line.starts_with("ressys");
    std::vector<Exchange> setUp = {
        {"createsys 3 4 5 n", kCreated}, {"mkdir Sys1", ""}, {"transsys Sys1", kCopied}};
    if (restoring) setUp.push_back({"killsys", kKilled});
    own.session(setUp);
    fs::remove(own.path(c.name));
    if (c.fifo) {
      ASSERT_EQ(mkfifo(own.path(c.name).c_str(), 0600), 0) << c.name;
    } else {
      fs::create_symlink("/dev/zero", own.path(c.name));
    }
    const std::string unreadable =
        "Key system file " + std::string(c.name) + " cannot be read error.\n";
    std::string output = restoring ? unreadable : "Examining System...\n" + unreadable;
    if (line.starts_with("transsys"))
      output = "Copying system files...\nCopy of " + std::string(c.name) + " failed error.\n";
    // A damaged system in the working folder is reported at start too.
    const std::string atStart = line == "sysdat" ? unreadable : "";
    EXPECT_EQ(own.session({{line, output}}),
              banner(!restoring) + atStart + kPrompt + output + kPrompt + kTerminated)
        << c.name;
  }
}

TEST_F(ManagementTest, SysDatCountsLinesAndCharacters) {
  folder.write("sys.dat", "100\n");
  std::string k2;
  for (int i = 0; i < 400; ++i) k2 += "0123456789\n";
  folder.write("k2.dat", k2);
  folder.write("k3.bin", std::string(273, '1') + "\r\n" + std::string(273, '2'));
  folder.expectSession(true, {{"sysdat",
                               "Examining System...\n"
                               "Key component 1 has 100 entries and 1536000 bytes (1500K)\n"
                               "Key component 2 has 400 entries and 4000 bytes (4K)\n"
                               "Key component 3 has 2 entries and 546 bytes (1K)\n"
                               "Total System = 1540546 bytes (1504K)\n \n"}});
  fs::remove(folder.path("sys.dat"));
  folder.expectSession(false, {{"sysdat", kNotLoaded}});
}

}  // namespace
}  // namespace vantor::test
