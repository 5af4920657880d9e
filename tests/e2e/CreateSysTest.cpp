// createsys: its checks in order, and the key files it writes, field by field.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <numeric>

#include "VantorFolder.h"

namespace vantor::test {
namespace {

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

class CreateSysTest : public ::testing::Test {
 protected:
  VantorFolder folder;
};

TEST_F(CreateSysTest, ChecksRunInOrderAndTheFirstFailureIsReported) {
  struct Case {
    const char* line;
    const char* output;
  };
  const std::vector<Case> cases = {
      {"createsys", "Parameters missing error.  Enter help c\n \n"},
      {"CREATESYS", "Parameters missing error.  Enter help c\n \n"},
      {"createsys 10 10", "Missing Parameters error.  Enter Help C\n"},
      {"createsys 0 10 10 n", "Numeric Parameter required for component 1 error.\n"},
      {"createsys 10 x 10 n", "Numeric Parameter required for component 2 error.\n"},
      {"createsys x y abc n", "Numeric Parameter required for component 1 error.\n"},
      {"createsys 10 10 abc n", "Numeric Parameter required for component 3 error.\n"},
      {"createsys 10 10 10 q", "Missing or invalid expansion param error.\n"},
      {"createsys 10 10 10 low", "Missing or invalid expansion param error.\n"},
  };
  std::vector<Exchange> exchanges;
  for (const Case& c : cases) exchanges.push_back({c.line, c.output});
  EXPECT_EQ(folder.session(exchanges), transcript(false, exchanges));
  EXPECT_TRUE(folder.fileNames().empty());
}

TEST_F(CreateSysTest, APresentSystemIsReportedBeforeTheParameters) {
  for (const char* name : {"sys.dat", "k2.dat", "k3.bin"}) folder.write(name, "5\n");
  const std::vector<Exchange> exchanges = {
      {"createsys 5 5 5 q",
       "A System is currently in place.  Please issue transsys command\n"
       "then killsys command then you can create a new system.\n"}};
  EXPECT_EQ(folder.session(exchanges), transcript(true, exchanges));
}

TEST_F(CreateSysTest, SmallestSystemHasOneEntryOfEachComponent) {
  EXPECT_EQ(folder.session({{"createsys 1 1 1 n", kCreated}}),
            transcript(false, {{"createsys 1 1 1 n", kCreated}}));
  EXPECT_EQ(folder.fileNames(),
            (std::vector<std::string>{"K11.bin", "k2.dat", "k3.bin", "sys.dat"}));
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

TEST_F(CreateSysTest, ExpansionLevelsBoundTheSeedsAndDirectionsStaySet) {
  struct Case {
    const char* letter;
    int highestSeed;
  };
  for (const Case& c : {Case{"L", 11}, {"m", 51}, {"H", 100}}) {
    VantorFolder own;
    const std::string line = std::string("createsys 1 4 30 ") + c.letter;
    EXPECT_EQ(own.session({{line, kCreated}}), transcript(false, {{line, kCreated}}));
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

TEST_F(CreateSysTest, CountsAreTruncatedAndSysDatHoldsTheFirst) {
  const std::string out = folder.session({{"createsys 2.9 3 3 n", kCreated}});
  EXPECT_EQ(out, transcript(false, {{"createsys 2.9 3 3 n", kCreated}}));
  EXPECT_EQ(folder.read("sys.dat"), "2\n");
  EXPECT_TRUE(folder.exists("K12.bin"));
  EXPECT_FALSE(folder.exists("K13.bin"));
}

TEST_F(CreateSysTest, KeyFilesArePrivateWhateverTheUmask) {
  const mode_t saved = umask(0);
  folder.session({{"createsys 2 2 2 n", kCreated}});
  umask(saved);
  for (const std::string& name : folder.fileNames()) {
    struct stat status {};
    ASSERT_EQ(stat(folder.path(name).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << name;
  }
}

// Only regular files become key files: a folder cannot, a FIFO would block
// once full and a device would swallow the lines (and must not be narrowed
// to its owner).
TEST_F(CreateSysTest, AKeyFileThatCannotBeCreatedStopsTheRunWithoutSysDat) {
  const std::string second =
      "Generating Key Component 1\nThis might take awhile...\n \n"
      "Generating Key Component 2\n";
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    std::string output;
  };
  const std::vector<Case> cases = {
      {"K12.bin", [](const std::string& path) { std::filesystem::create_directory(path); },
       "Generating Key Component 1\nThis might take awhile...\n"},
      {"k2.dat", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, second},
      {"k3.bin",
       [](const std::string& path) { std::filesystem::create_symlink("/dev/null", path); },
       second + "Generating Key Component 3\n"},
  };
  struct stat devNull {};
  ASSERT_EQ(stat("/dev/null", &devNull), 0);
  for (const Case& c : cases) {
    VantorFolder own;
    c.make(own.path(c.name));
    const std::vector<Exchange> exchanges = {
        {"createsys 3 3000 3 n",
         c.output + "Key system file " + c.name + " cannot be created error.\n"},
        {"sysdat", "A System is not loaded.  Please issue ressys or createsys.\n"},
        {"enc a b 1 1 1",
         "A System is not in place.  Please issue ressys or \ncreatesys before you can "
         "encrypt.\n"},
    };
    EXPECT_EQ(own.session(exchanges), transcript(false, exchanges)) << c.name;
    EXPECT_FALSE(own.exists("sys.dat")) << c.name;
  }
  struct stat after {};
  ASSERT_EQ(stat("/dev/null", &after), 0);
  EXPECT_EQ(after.st_mode, devNull.st_mode);
}

TEST_F(CreateSysTest, TheFirstFailedWriteStopsTheRunWithoutSysDat) {
  // A billion lines of k2.dat would take hours to generate and fail.
  const std::vector<Exchange> exchanges = {
      {"createsys 2 1000000000 2 n",
       "Generating Key Component 1\nThis might take awhile...\n \nGenerating Key Component 2\n"
       "Key system file k2.dat cannot be created error.\n"},
      {"sysdat", "A System is not loaded.  Please issue ressys or createsys.\n"},
  };
  std::string out;
  {
    const FileSizeLimit limit(1 << 20);
    out = folder.session(exchanges);
  }
  EXPECT_EQ(out, transcript(false, exchanges));
  EXPECT_FALSE(folder.exists("sys.dat"));
}

}  // namespace
}  // namespace vantor::test
