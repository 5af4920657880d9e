// The command session as a person meets it: the banner, the prompt, the end
// commands, the help texts, the parameter splitter and the shell.
#include <gtest/gtest.h>

#include <filesystem>

#include "VantorFolder.h"

namespace vantor::test {
namespace {

class SessionTest : public ::testing::Test {
 protected:
  VantorFolder folder;
};

TEST_F(SessionTest, EachEndWordEndsTheSessionWithStatusZero) {
  for (const char* word : {"quit", "QUIT", "Exit", "End", "end", "exit"}) {
    const auto result = folder.run(std::string(word) + "\n");
    EXPECT_EQ(result.out, transcript(false, {}).substr(0, banner(false).size()) +
                              std::string(kPrompt) + std::string(kTerminated))
        << word;
    EXPECT_TRUE(result.exited) << word;
    EXPECT_EQ(result.status, 0) << word;
    EXPECT_EQ(result.err, "") << word;
  }
}

// --version and --help answer and end without reading a line; every other
// word leaves the session as it is without any.
TEST_F(SessionTest, VersionAndHelpOptionsAnswerAndEnd) {
  struct Case {
    std::vector<std::string> words;
    std::string out;
  };
  const std::string session = transcript(false, {});
  const Case cases[] = {
      {{"--version"}, "Vantor Encryption for Linux 1.5.0\n"},
      {{"--help"}, expectedText("usage.txt")},
      {{"-v", "--help", "--version"}, expectedText("usage.txt")},
      {{"--VERSION", "-h", "help"}, session},
  };
  for (const Case& c : cases) {
    const auto result = folder.run("quit\n", c.words);
    EXPECT_EQ(result.out, c.out) << c.words.front();
    EXPECT_TRUE(result.exited && result.status == 0) << c.words.front();
    EXPECT_EQ(result.err, "") << c.words.front();
  }
  EXPECT_TRUE(folder.fileNames().empty());
}

TEST_F(SessionTest, EmptyLinesAreIgnored) {
  EXPECT_EQ(folder.run("\n\nquit\n").out, banner(false) + std::string(kPrompt) +
                                              std::string(kPrompt) + std::string(kPrompt) +
                                              std::string(kTerminated));
}

TEST_F(SessionTest, EndOfInputEndsTheSessionAsQuitDoes) {
  for (const char* input : {"", "\n", "help z"}) {
    const auto result = folder.run(input);
    EXPECT_TRUE(result.exited && !result.timedOut) << '"' << input << '"';
    EXPECT_EQ(result.status, 0);
    const std::string last = std::string(kPrompt) + std::string(kTerminated);
    EXPECT_TRUE(result.out.ends_with(last)) << result.out;
  }
  // A last line without a line feed still runs.
  EXPECT_EQ(folder.run("help z").out, banner(false) + std::string(kPrompt) + " \n" +
                                          std::string(kPrompt) + std::string(kTerminated));
}

TEST_F(SessionTest, HelpPrintsTheCommandListAndEachTopic) {
  const std::string list = expectedText("help.txt");
  struct Case {
    const char* line;
    std::string output;
  };
  const std::vector<Case> cases = {
      {"help", list},
      {"HELP", list},
      {"Help", list},
      {"help o", expectedText("help-o.txt")},
      {"HELP O", expectedText("help-o.txt")},
      {"help overview", expectedText("help-o.txt")},
      {"help c", expectedText("help-c.txt")},
      {"help d", expectedText("help-d.txt")},
      {"help e", expectedText("help-e.txt")},
      {"helpme", expectedText("help-e.txt")},
      {"help k", expectedText("help-k.txt")},
      {"help r", expectedText("help-r.txt")},
      {"help t", expectedText("help-t.txt")},
      {"help f", expectedText("help-f.txt")},
      {"help X", expectedText("help-x.txt")},
      {"help z", " \n"},
      {"help ", " \n"},
      {"help  o", " \n"},
      {"helpo", " \n"},
  };
  std::vector<Exchange> exchanges;
  for (const Case& c : cases) exchanges.push_back({c.line, c.output});
  EXPECT_EQ(folder.session(exchanges), transcript(false, exchanges));
}

TEST_F(SessionTest, HelpTopicsHaveTheirLineCounts) {
  struct Case {
    const char* file;
    std::size_t lines;
  };
  for (const Case& c : {Case{"help.txt", 15},
                        {"help-o.txt", 40},
                        {"help-c.txt", 42},
                        {"help-d.txt", 15},
                        {"help-e.txt", 15},
                        {"help-k.txt", 10},
                        {"help-r.txt", 11},
                        {"help-t.txt", 15},
                        {"help-f.txt", 13},
                        {"help-x.txt", 36}}) {
    EXPECT_EQ(splitLines(expectedText(c.file)).size(), c.lines) << c.file;
  }
  EXPECT_NE(expectedText("help-x.txt").find("or get a file and then \n"), std::string::npos);
}

TEST_F(SessionTest, LinesThatAreNoCommandGoToTheShell) {
  folder.write("listed.txt", "");
  const std::string out = folder.session({{"ls", ""}, {"echo 'two  words'", ""}, {"   ", ""}});
  EXPECT_NE(out.find("listed.txt\nvantor\n\n"), std::string::npos) << out;
  EXPECT_NE(out.find("two  words\n\n"), std::string::npos) << out;
  // A line of blanks is not empty: it reaches the shell, which prints nothing.
  EXPECT_NE(out.find(std::string(kPrompt) + std::string(kPrompt) + std::string(kTerminated)),
            std::string::npos);
}

TEST(StartUp, BareNameOffThePathStillFindsTheToolsFolderAndItsShell) {
  rt::test::TempFolder own;
  rt::test::TempFolder elsewhere;
  const std::filesystem::path executable = own.path() / "vantor";
  std::filesystem::copy_file(VANTOR_EXECUTABLE, executable);
  rt::test::ProcessLaunch launch;
  launch.program = executable.string();
  launch.arguments = {"vantor"};
  launch.input = "createsys 2 2 2 n\necho hello\nquit\n";
  launch.workingDirectory = elsewhere.path().string();
  launch.environment = {{"HOME", own.path().string()}, {"PATH", "/usr/bin:/bin"}};
  const auto result = rt::test::runProcess(launch);
  EXPECT_EQ(result.out,
            transcript(false, {{"createsys 2 2 2 n", kCreated}, {"echo hello", "hello\n\n"}}));
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(std::filesystem::exists(own / "sys.dat"));
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "sys.dat"));
}

TEST_F(SessionTest, EndFollowedByABlankIsAShellCommand) {
  const std::string out = folder.run("end \nquit\n").out;
  EXPECT_NE(out.find("end"), out.rfind(kTerminated)) << out;
  EXPECT_TRUE(out.ends_with(std::string(kPrompt) + std::string(kTerminated)));
}

TEST_F(SessionTest, ParametersAreSplitAtEveryBlank) {
  // Two blanks after the command word leave Param(1) empty: enc then sees
  // five slots with an empty source name.
  struct Case {
    const char* line;
    const char* output;
  };
  for (const Case& c : {
           Case{"createsys 5  5 5 n", "Missing Parameters error.  Enter Help C\n"},
           Case{"createsys 5 5 5 n x", "Missing Parameters error.  Enter Help C\n"},
           // Beyond the fifth parameter characters are dropped, not an error.
           Case{"createsys 1 2 3 4 5 6 7 8 9", "Missing Parameters error.  Enter Help C\n"},
           Case{"createsys 10 x 10 n", "Numeric Parameter required for component 2 error.\n"},
       }) {
    EXPECT_EQ(folder.session({{c.line, c.output}}), transcript(false, {{c.line, c.output}}))
        << c.line;
  }
}

}  // namespace
}  // namespace vantor::test
