// Console input through pipes: line ends, carriage returns with their
// look-ahead, NUL and 0xFF bytes, end of input; and at a terminal, where the
// line editor reads the keys.
#include <gtest/gtest.h>

#include "support/ProcessRunner.h"
#include "support/TerminalProcess.h"

namespace rt::test {
namespace {

ProcessResult readInput(const std::string& input, std::vector<std::string> arguments) {
  ProcessLaunch launch;
  launch.program = CONSOLE_INPUT_PROBE;
  launch.arguments = {CONSOLE_INPUT_PROBE};
  launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
  launch.input = input;
  return runProcess(launch);
}

TEST(ConsoleInput, LinesEndAsTheConsoleDefines) {
  struct Case {
    const char* name;
    std::string input;
    std::string expected;  // three calls
  };
  const std::string empty = "<> 600\n";
  const Case cases[] = {
      {"line feed", "abc\n", "<abc> 600\n" + empty + empty},
      {"carriage return and line feed", "abc\r\nxyz\n", "<abc> 600\n<xyz> 600\n" + empty},
      {"lone carriage return keeps the next byte", "abc\rdef\n", "<abc> 600\n<def> 600\n" + empty},
      {"carriage return at the end", "abc\r", "<abc> 600\n" + empty + empty},
      {"NUL ends a line", std::string("a\0b\n", 4), "<a> 600\n<b> 600\n" + empty},
      {"0xFF is dropped", "a\xff" "b\n", "<ab> 600\n" + empty + empty},
      {"last line without its end", "one\nlast", "<one> 600\n<last> 600\n" + empty},
      {"bytes above 0x7F stay as they are", "caf\xc3\xa9\n", "<caf\\xc3\\xa9> 600\n" + empty + empty},
      {"no input", "", empty + empty + empty},
  };
  for (const Case& c : cases) {
    const ProcessResult result = readInput(c.input, {"lines", "3"});
    EXPECT_EQ(result.out, c.expected) << c.name;
    EXPECT_EQ(result.status, 0) << c.name;
  }
}

TEST(ConsoleInput, ReadTakesThePendingByteFirstWithoutCountingIt) {
  const ProcessResult result = readInput("ab\rcdefg", {"read"});
  EXPECT_EQ(result.out, "<ab> 600\n<cde> 600\n<fg> 600\neof=1 error=0\n");
}

// The bytes are those read; the encoding object only says what they are.
TEST(ConsoleInput, ReadMarksTheBytesWithTheEncodingObjectGiven) {
  const ProcessResult result = readInput(std::string("h\xc3\xa9" "abx\0y\0", 9), {"encoded"});
  EXPECT_EQ(result.out, "<h\\xc3\\xa9> 8000100\n<ab> 600\n<x\\x00y\\x00> 100\n");
}

TerminalLaunch probeAtTerminal(const char* mode) {
  TerminalLaunch launch;
  launch.program = CONSOLE_INPUT_PROBE;
  launch.arguments = {CONSOLE_INPUT_PROBE, mode};
  launch.environment = {{"TERM", "xterm"}};
  return launch;
}

TEST(ConsoleInput, AtATerminalLinesAreEditedWithAHistoryUntilCtrlD) {
  TerminalProcess probe(probeAtTerminal("untilEnd"));
  ASSERT_TRUE(probe.waitForKeyReading());
  probe.type("abc\r");
  ASSERT_TRUE(probe.waitFor("<abc> 600\r\n") && probe.waitForKeyReading());
  // The last line back, the cursor one to the left, x inserted there.
  probe.type("\x1b[A\x1b[Dx\r");
  ASSERT_TRUE(probe.waitFor("<abxc> 600\r\n") && probe.waitForKeyReading());
  probe.type("\x04");
  const TerminalResult result = probe.finish();
  // After Ctrl-D, EOF is true and every further line is empty at once.
  EXPECT_TRUE(result.terminal.ends_with("<abxc> 600\r\n<> 600\r\n<> 600\r\n")) << result.terminal;
  EXPECT_EQ(result.status, 0);
}

TEST(ConsoleInput, TheEditorStaysOutOfTheWayWhenOutputIsNotATerminal) {
  TerminalLaunch launch = probeAtTerminal("untilEnd");
  launch.outputOnTerminal = false;
  TerminalProcess probe(launch);
  probe.type("abc\r\x04");
  const TerminalResult result = probe.finish();
  EXPECT_EQ(result.out, "<abc> 600\n<> 600\n<> 600\n");
}

TEST(ConsoleInput, OutputStreamsTellWhetherTheyAreTerminals) {
  EXPECT_EQ(readInput("", {"streams"}).out, "out=0 err=0\n");
  TerminalLaunch launch = probeAtTerminal("streams");
  launch.outputOnTerminal = false;
  EXPECT_EQ(TerminalProcess(launch).finish().out, "out=0 err=1\n");
}

}  // namespace
}  // namespace rt::test
