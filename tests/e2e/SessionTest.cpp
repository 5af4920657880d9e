// The command session as a person meets it: the banner, the prompt, the end
// commands, the help texts, the parameter splitter and the shell.
#include <gtest/gtest.h>

#include <filesystem>

#include "VantorFolder.h"

namespace vantor::test {
namespace {

using SessionTest = VantorTest;

// End of input ends the session as quit does, and a last line without a line
// feed still runs.
TEST_F(SessionTest, EachEndWordAndTheEndOfInputEndTheSessionWithStatusZero) {
  const std::string quit = kPrompt + kTerminated;
  struct Case {
    std::string input;
    std::string out;
  };
  std::vector<Case> cases = {
      {"", banner(false) + quit},
      {"\n", banner(false) + kPrompt + quit},
      {"\n\nquit\n", banner(false) + kPrompt + kPrompt + quit},
      {"help z", banner(false) + kPrompt + " \n" + quit},
  };
  for (const char* word : {"quit", "QUIT", "Exit", "End", "end", "exit"})
    cases.push_back({std::string(word) + "\n", banner(false) + quit});
  for (const Case& c : cases) {
    const auto result = folder.run(c.input);
    EXPECT_EQ(result.out, c.out) << '"' << c.input << '"';
    EXPECT_TRUE(result.exited && !result.timedOut && result.status == 0) << '"' << c.input << '"';
    EXPECT_EQ(result.err, "") << '"' << c.input << '"';
  }
}

// --version and --help answer and end without reading a line; every other
// word leaves the session as it is without any.
TEST_F(SessionTest, VersionAndHelpOptionsAnswerAndEnd) {
  struct Case {
    std::vector<std::string> words;
    std::string out;
  };
  const Case cases[] = {
      {{"--version"}, "Vantor Encryption for Linux 1.5.0\n"},
      {{"--help"}, expectedText("usage.txt")},
      {{"-v", "--help", "--version"}, expectedText("usage.txt")},
      {{"--VERSION", "-h", "help"}, transcript(false, {})},
  };
  for (const Case& c : cases) {
    const auto result = folder.run("quit\n", c.words);
    EXPECT_EQ(result.out, c.out) << c.words.front();
    EXPECT_TRUE(result.exited && result.status == 0) << c.words.front();
    EXPECT_EQ(result.err, "") << c.words.front();
  }
  EXPECT_TRUE(folder.fileNames().empty());
}

// Each topic's file also has its line count checked, so that an edit that
// drops lines or trailing blanks from both the tool and its file shows.
TEST_F(SessionTest, HelpPrintsTheCommandListAndEachTopic) {
  struct Case {
    const char* file;
    std::size_t lines;
    std::vector<const char*> typed;
  };
  const Case cases[] = {
      {"help.txt", 15, {"help", "HELP", "Help"}},
      {"help-o.txt", 40, {"help o", "HELP O", "help overview"}},
      {"help-c.txt", 42, {"help c"}},
      {"help-d.txt", 15, {"help d"}},
      {"help-e.txt", 15, {"help e", "helpme"}},
      {"help-k.txt", 10, {"help k"}},
      {"help-r.txt", 11, {"help r"}},
      {"help-t.txt", 15, {"help t"}},
      {"help-f.txt", 13, {"help f"}},
      {"help-x.txt", 36, {"help X"}},
      {nullptr, 1, {"help z", "help ", "help  o", "helpo"}},
  };
  std::vector<Exchange> exchanges;
  for (const Case& c : cases) {
    const std::string text = c.file ? expectedText(c.file) : " \n";
    EXPECT_EQ(splitLines(text).size(), c.lines) << c.typed.front();
    for (const char* line : c.typed) exchanges.push_back({line, text});
  }
  EXPECT_NE(expectedText("help-x.txt").find("or get a file and then \n"), std::string::npos);
  folder.expectSession(false, exchanges);
}

// A line of blanks is not empty: it reaches the shell, which prints nothing;
// nor is an end word followed by a blank, which the shell does not know.
TEST_F(SessionTest, LinesThatAreNoCommandGoToTheShell) {
  folder.write("listed.txt", "");
  folder.expectSession(
      false,
      {{"ls", "listed.txt\nvantor\n\n"}, {"echo 'two  words'", "two  words\n\n"}, {"   ", ""}});
  const std::string out = folder.run("end \nquit\n").out;
  EXPECT_NE(out.find("end: command not found\n\n" + kPrompt + kTerminated), std::string::npos)
      << out;
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

}  // namespace
}  // namespace vantor::test
