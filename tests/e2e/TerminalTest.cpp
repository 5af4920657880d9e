// The tool as a person at a terminal meets it, through a pseudo-terminal:
// line editing with a history at the prompt, Ctrl-D as the end of input, and
// the progress line on standard error, which leaves standard output alone.
#include <gtest/gtest.h>

#include <csignal>

#include "VantorFolder.h"
#include "support/TerminalProcess.h"

namespace vantor::test {
namespace {

using rt::test::TerminalLaunch;
using rt::test::TerminalProcess;
using rt::test::TerminalResult;

constexpr const char* kUpArrow = "\x1b[A";
constexpr const char* kLeftArrow = "\x1b[D";
constexpr const char* kCtrlD = "\x04";
constexpr const char* kNoSystem = "A System is not loaded.  Please issue ressys or createsys.";

// What the tool prints, as a terminal shows it: every line feed after a
// carriage return.
std::string onTerminal(const std::string& text) {
  std::string shown;
  for (const char c : text) shown += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return shown;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class TerminalTest : public ::testing::Test {
 protected:
  // The tool in the folder, everything on the terminal unless said otherwise;
  // the editor decodes in its fallback character set, UTF-8.
  TerminalLaunch launch() const {
    TerminalLaunch launch;
    launch.program = folder.path("vantor");
    launch.arguments = {launch.program};
    launch.workingDirectory = folder.path("");
    launch.environment = {{"HOME", folder.path("")}, {"TERM", "xterm"}};
    launch.unsetEnvironment = {"LANG", "LC_ALL", "LC_CTYPE"};
    return launch;
  }

  // Lines that come on a pipe while standard error is the terminal.
  TerminalLaunch pipedLaunch(const std::string& lines) const {
    TerminalLaunch piped = launch();
    piped.inputOnTerminal = false;
    piped.outputOnTerminal = false;
    piped.pipedInput = lines;
    return piped;
  }

  // Waits for the next prompt and for the editor to take keys.
  static bool ready(TerminalProcess& tool) {
    return tool.waitFor("[Vantor] \r\n") && tool.waitForKeyReading();
  }

  VantorFolder folder;
};

TEST_F(TerminalTest, CtrlDOnAnEmptyLineEndsTheSessionAsQuitDoes) {
  TerminalProcess tool(launch());
  ASSERT_TRUE(ready(tool));
  tool.type(kCtrlD);
  const TerminalResult result = tool.finish();
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.status, 0);
  // Nothing of the editor's own shows: not a prompt, not an echo of the key.
  EXPECT_EQ(result.terminal, onTerminal(transcript(false, {})));
}

// The history stays in memory: no file is left.
TEST_F(TerminalTest, UpArrowCtrlDAndLettersBeyondAsciiWorkInTheLineEditor) {
  TerminalProcess tool(launch());
  ASSERT_TRUE(ready(tool));
  tool.type("sysdat\r");
  ASSERT_TRUE(tool.waitFor(kNoSystem) && ready(tool));
  // Up arrow repeats the last command.
  tool.type(std::string(kUpArrow) + "\r");
  ASSERT_TRUE(tool.waitFor(kNoSystem) && ready(tool));
  // Ctrl-D inside a line deletes the character under the cursor.
  tool.type(std::string("sysdatx") + kLeftArrow + kLeftArrow + kCtrlD + "\r");
  ASSERT_TRUE(tool.waitFor("sysdax: command not found") && ready(tool));
  tool.type("echo caf\xc3\xa9 \xe2\x82\xac\r");
  EXPECT_TRUE(tool.waitFor("\r\ncaf\xc3\xa9 \xe2\x82\xac\r\n\r\n") && ready(tool));
  tool.type(kCtrlD);
  const TerminalResult result = tool.finish();
  EXPECT_EQ(occurrences(result.terminal, kNoSystem), 2u);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder.fileNames(), std::vector<std::string>{});
}

// The line is drawn at once, then at most ten times a second, each time over
// the last, and blanked out at the end of component 1.
TEST_F(TerminalTest, CreatesysDrawsAProgressLineOnATerminalAndErasesIt) {
  const std::string lines = "createsys 300 2 2 n\nkillsys\nquit\n";
  const TerminalResult result = TerminalProcess(pipedLaunch(lines)).finish();
  EXPECT_EQ(result.status, 0);
  const std::string& drawn = result.terminal;
  ASSERT_TRUE(drawn.starts_with("\rKey component 1: 0 of 300 entries")) << drawn;
  const auto lastLine = drawn.rfind('\r', drawn.size() - 2);
  ASSERT_NE(lastLine, std::string::npos);
  const std::string erasure = drawn.substr(lastLine);
  // The last text drawn may end in blanks that covered a longer one.
  const auto previous = drawn.rfind('\r', lastLine - 1);
  const std::string lastText = drawn.substr(previous + 1, lastLine - previous - 1);
  const auto textWidth = lastText.find_last_not_of(' ') + 1;
  EXPECT_EQ(erasure, '\r' + std::string(textWidth, ' ') + '\r') << drawn;
  EXPECT_EQ(drawn.find('\n'), std::string::npos);
  // Standard output is the same as with no terminal anywhere.
  VantorFolder plain;
  const auto piped = plain.run(lines);
  EXPECT_EQ(result.out, piped.out);
  EXPECT_EQ(piped.err, "");
}

TEST_F(TerminalTest, LargeCryptionsShowTheProgressLineAndSmallOnesDoNot) {
  folder.write("small.txt", std::string(4096, 's'));
  folder.write("large.bin", std::string((16 << 20) + 1, 'l'));
  const TerminalResult small =
      TerminalProcess(pipedLaunch("createsys 1 1 1 n\nenc small.txt small.enc 1 1 1\nquit\n"))
          .finish();
  EXPECT_EQ(small.terminal.find("Encrypting"), std::string::npos) << small.terminal;

  TerminalProcess tool(pipedLaunch("enc large.bin large.enc 1 1 1\nquit\n"));
  // How long the whole run takes is the engine's business: the first drawing
  // is all this test waits for.
  EXPECT_TRUE(tool.waitFor("\rEncrypting 0.0 of 16.0 MiB"));
  tool.signal(SIGTERM);
  EXPECT_EQ(tool.finish().status, 0);
}

}  // namespace
}  // namespace vantor::test
