// createsys: its checks in order, and the key files it writes, field by field.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <numeric>
#include <optional>

#include "VantorFolder.h"

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

// The fixed-width decimal fields of a key file line.
std::vector<int> fields(const std::string& line, std::size_t width) {
  std::vector<int> values;
  for (std::size_t i = 0; i + width <= line.size(); i += width)
    values.push_back(std::stoi(line.substr(i, width)));
  return values;
}

bool isPermutation(std::vector<int> values, int first, int last) {
  std::vector<int> expected(static_cast<std::size_t>(last - first + 1));
  std::iota(expected.begin(), expected.end(), first);
  std::sort(values.begin(), values.end());
  return values == expected;
}

bool allWithin(const std::vector<int>& values, std::size_t from, std::size_t to, int low,
               int high) {
  return std::all_of(values.begin() + from, values.begin() + to,
                     [&](int v) { return v >= low && v <= high; });
}

using CreateSysTest = VantorTest;

TEST_F(CreateSysTest, ChecksRunInOrderAndTheFirstFailureIsReported) {
  const std::string missing = "Missing Parameters error.  Enter Help C\n";
  const std::string count = "Numeric Parameter required for component ";
  const std::string expansion = "Missing or invalid expansion param error.\n";
  const std::vector<Exchange> exchanges = {
      {"createsys", "Parameters missing error.  Enter help c\n \n"},
      {"CREATESYS", "Parameters missing error.  Enter help c\n \n"},
      {"createsys 10 10", missing},
      // Parameters are split at every blank: two in a row make an empty one.
      {"createsys 5  5 5 n", missing},
      {"createsys 5 5 5 n x", missing},
      // Beyond the fifth parameter characters are dropped, not an error.
      {"createsys 1 2 3 4 5 6 7 8 9", missing},
      {"createsys 0 10 10 n", count + "1 error.\n"},
      {"createsys 10 x 10 n", count + "2 error.\n"},
      {"createsys x y abc n", count + "1 error.\n"},
      {"createsys 10 10 abc n", count + "3 error.\n"},
      {"createsys 10 10 10 q", expansion},
      {"createsys 10 10 10 low", expansion},
  };
  folder.expectSession(false, exchanges);
  EXPECT_TRUE(folder.fileNames().empty());
}

TEST_F(CreateSysTest, APresentSystemIsReportedBeforeTheParameters) {
  for (const char* name : {"sys.dat", "k2.dat", "k3.bin"}) folder.write(name, "5\n");
  folder.expectSession(true, {{"createsys 5 5 5 q",
                               "A System is currently in place.  Please issue transsys command\n"
                               "then killsys command then you can create a new system.\n"}});
}

TEST_F(CreateSysTest, SmallestSystemHasOneEntryOfEachComponentInPrivateFiles) {
  const mode_t saved = umask(0);
  folder.createSystem("1 1 1 n");
  umask(saved);
  EXPECT_EQ(folder.fileNames(),
            (std::vector<std::string>{"K11.bin", "k2.dat", "k3.bin", "sys.dat"}));
  for (const std::string& name : folder.fileNames())
    EXPECT_EQ(folder.permissions(name), 0600) << name;
  EXPECT_EQ(folder.read("sys.dat"), "1\n");

  const std::string table = folder.read("K11.bin");
  ASSERT_EQ(table.size(), 20u * 769u);
  for (const std::string& line : splitLines(table)) {
    ASSERT_EQ(line.size(), 768u);
    EXPECT_TRUE(isPermutation(fields(line, 3), 0, 255)) << line;
  }

  const std::vector<std::string> k2 = splitLines(folder.read("k2.dat"));
  ASSERT_EQ(k2.size(), 1u);
  ASSERT_EQ(k2[0].size(), 280u);
  const std::vector<int> selection = fields(k2[0], 7);
  EXPECT_TRUE(isPermutation({selection.begin(), selection.begin() + 20}, 1, 20)) << k2[0];
  EXPECT_TRUE(allWithin(selection, 20, 40, 0, 100)) << k2[0];

  const std::vector<std::string> k3 = splitLines(folder.read("k3.bin"));
  ASSERT_EQ(k3.size(), 1u);
  ASSERT_EQ(k3[0].size(), 273u);
  EXPECT_EQ(k3[0].substr(240, 30), std::string(30, '0'));
  const std::vector<int> settings = fields(k3[0], 3);
  EXPECT_TRUE(allWithin(settings, 0, 20, 0, 1));
  EXPECT_TRUE(allWithin(settings, 20, 80, 1, 11));
  EXPECT_TRUE(allWithin(settings, 90, 91, 1, 101));
}

// The component-1 count is truncated, and sys.dat holds what is left of it.
TEST_F(CreateSysTest, ExpansionLevelsBoundTheSeedsAndDirectionsStaySet) {
  struct Case {
    const char* letter;
    int highestSeed;
  };
  for (const Case& c : {Case{"L", 11}, {"m", 51}, {"H", 100}}) {
    const VantorFolder own;
    own.createSystem(std::string("2.9 4 30 ") + c.letter);
    EXPECT_EQ(own.read("sys.dat"), "2\n");
    EXPECT_TRUE(own.exists("K12.bin") && !own.exists("K13.bin"));
    const std::vector<std::string> k3 = splitLines(own.read("k3.bin"));
    ASSERT_EQ(k3.size(), 30u);
    std::vector<int> previous(20, 0);
    for (const std::string& text : k3) {
      const std::vector<int> settings = fields(text, 3);
      EXPECT_TRUE(allWithin(settings, 80, 90, 1, c.highestSeed)) << c.letter << ": " << text;
      for (int t = 0; t < 20; ++t)
        EXPECT_GE(settings[t], previous[t]) << "direction " << t + 1 << " turned back";
      previous.assign(settings.begin(), settings.begin() + 20);
    }
    EXPECT_EQ(splitLines(own.read("k2.dat")).size(), 4u);
  }
}

// Nothing outside the random source decides a key system: two made within
// the same second (of the clock a file's date shows) share no file.
TEST_F(CreateSysTest, TwoSystemsMadeInTheSameSecondDiffer) {
  VantorFolder other;
  for (int attempt = 0; attempt < 5; ++attempt) {
    const std::time_t start = std::time(nullptr);
    folder.session({{"killsys", ""}, {"createsys 2 2 2 h", kCreated}});
    other.session({{"killsys", ""}, {"createsys 2 2 2 h", kCreated}});
    if (std::time(nullptr) == start) break;
  }
  for (const char* name : {"K11.bin", "K12.bin", "k2.dat", "k3.bin"}) {
    ASSERT_TRUE(folder.exists(name) && other.exists(name)) << name;
    EXPECT_NE(folder.read(name), other.read(name)) << name;
  }
}

// Only regular files become key files: a folder cannot, a FIFO would block
// once full and a device would swallow the lines (and must not be narrowed
// to its owner). A full disk stops the run at its first failed write: a
// billion lines of k2.dat would take hours to generate and fail.
TEST_F(CreateSysTest, AKeyFileThatCannotBeWrittenStopsTheRunWithoutSysDat) {
  const std::string first = "Generating Key Component 1\nThis might take awhile...\n";
  const std::string second = first + " \nGenerating Key Component 2\n";
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;  // none: the disk is full
    const char* counts;
    std::string output;
  };
  const std::vector<Case> cases = {
      {"K12.bin", [](const std::string& path) { fs::create_directory(path); }, "3 3000 3", first},
      {"k2.dat", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
       "3 3000 3", second},
      {"k3.bin", [](const std::string& path) { fs::create_symlink("/dev/null", path); }, "3 3000 3",
       second + "Generating Key Component 3\n"},
      {"k2.dat", nullptr, "2 1000000000 2", second},
  };
  struct stat devNull {};
  ASSERT_EQ(stat("/dev/null", &devNull), 0);
  for (const Case& c : cases) {
    const VantorFolder own;
    std::optional<FileSizeLimit> diskFull;
    if (c.make) {
      c.make(own.path(c.name));
    } else {
      diskFull.emplace(1 << 20);
    }
    const std::vector<Exchange> exchanges = {
        {std::string("createsys ") + c.counts + " n",
         c.output + "Key system file " + c.name + " cannot be created error.\n"},
        {"sysdat", kNotLoaded},
        {"enc a b 1 1 1",
         "A System is not in place.  Please issue ressys or \ncreatesys before you can "
         "encrypt.\n"},
    };
    const std::string out = own.session(exchanges);
    diskFull.reset();
    EXPECT_EQ(out, transcript(false, exchanges)) << c.name << ' ' << c.counts;
    EXPECT_FALSE(own.exists("sys.dat")) << c.name << ' ' << c.counts;
  }
  struct stat after {};
  ASSERT_EQ(stat("/dev/null", &after), 0);
  EXPECT_EQ(after.st_mode, devNull.st_mode);
}

}  // namespace
}  // namespace vantor::test
