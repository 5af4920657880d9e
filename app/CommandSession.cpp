// The command session: start-up, the prompt, the parameter splitter and the
// dispatch of each line to an operation or to the shell.
#include <array>
#include <span>
#include <string>

#include "Console.h"
#include "KeySystem.h"
#include "Messages.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "Shell.h"
#include "host/HostApi.h"
#include "objects/ArrayApi.h"
#include "objects/ExceptionHandle.h"
#include "text/StringFunctions.h"

namespace vantor::app {
namespace {

constexpr const char* kBanner[] = {
    " ",
    "=====================================",
    "==",
    "==   Vantor Encryption for Linux   ",
    "==      Command Line Interface    ",
    "==           Version 1.5.0",
    "==  ",
    "=====================================",
    "enter help for general topics",
    "enter help f for formats reference",
    "enter end or quit or exit to terminate",
    " ",
};

constexpr const char* kVersion[] = {"Vantor Encryption for Linux 1.5.0"};

constexpr const char* kUsage[] = {
    "Usage: vantor",
    "       vantor --version | --help",
    "Vantor is interactive: it reads one command a line from standard input.",
    "Type help at the [Vantor] prompt for the commands and quit to leave.",
    "The key system lives in the folder that holds the executable; file names",
    "without a leading / are taken relative to that folder.",
    "See the manual page: man vantor",
};

struct Command {
  const char* word;  // the line's first characters, case ignored
  void (*operation)();
};

// No word is a prefix of another, so at most one row matches.
const std::array<Command, 10> kCommands{{
    {"help", &showHelp},
    {"createsys", &createSys},
    {"ressys", &restoreSys},
    {"killsys", [] { killSys(1); }},
    {"transsys", &transferSys},
    {"transkill", &transKill},
    {"enc", &encrypt},
    {"dec", &decrypt},
    {"x", &runScript},
    {"sysdat", [] { systemData(1); }},
}};

bool startsWith(const rt::String& line, const char* word) {
  const rt::String prefix(word);
  return rt::left(line, rt::len(prefix)) == prefix;
}

bool isEndCommand(const rt::String& line) {
  return line == rt::String("end") || line == rt::String("exit") || line == rt::String("quit");
}

void endSession() {
  print(rt::String("=== Vantor Encryption for Linux CLI v1.5.0 Terminated ==="));
  print(rt::String(kBlank));
  ZK_ApplicationQuit(0);
  rt::throwIfPending();
}

// The text asked for by the first --version or --help among the arguments
// (after the program path); empty when there is none. Every other argument
// is ignored.
std::span<const char* const> optionText(const rt::Array& args) {
  if (!args) return {};
  const std::int32_t last = RuntimeUBound2Param(args.get(), 1);
  for (std::int32_t i = 1; i <= last; ++i) {
    const std::string argument = rt::stringAt(args, i).str();
    if (argument == "--version") return kVersion;
    if (argument == "--help") return kUsage;
  }
  return {};
}

void buildCharTable() {
  rt::String table;
  for (std::int32_t code = 0; code < 256; ++code) table = table + rt::chr(code);
  globals().charTable = table;
}

}  // namespace

std::int32_t run(const rt::Array& args) {
  if (const auto text = optionText(args); !text.empty()) {
    printLines(text);
    ZK_ApplicationQuit(0);
    rt::throwIfPending();
  }
  Shell shell;
  buildCharTable();
  // Counted silently; a damaged key system is reported after the state line.
  const KeySystemCounts counts = countKeySystem(rt::String());
  setEntryCounts(counts);
  printLines(kBanner);
  printKeySystemState();
  reportUnreadable(counts.unreadable);
  for (;;) {
    getCmd();
    const rt::String cmd = globals().cmd;
    if (cmd.empty()) {
      // The end of standard input ends the session as quit does.
      if (inputEnded()) endSession();
      continue;
    }
    if (isEndCommand(cmd)) endSession();
    bool dispatched = false;
    for (const Command& command : kCommands) {
      if (startsWith(cmd, command.word)) {
        command.operation();
        dispatched = true;
        break;
      }
    }
    if (!dispatched) print(shell.execute(cmd));
  }
}

void getCmd() {
  print(rt::String("[Vantor] "));
  globals().cmd = input();
}

void getParameters() {
  ModuleGlobals& g = globals();
  g.paramCount = 0;
  for (std::int32_t i = 1; i <= kParamUpperBound; ++i) rt::setStringAt(g.param, i, rt::String());
  const rt::String& cmd = g.cmd;
  // An ASCII blank takes the line's own encoding, so that InStr's positions
  // count what Mid counts: a UTF-8 blank would make a line tagged ASCII be
  // searched as UTF-8 and cut its parameters short after any byte above 0x7F.
  const rt::String blank = rt::String::bytes(" ", kEncodingASCII);
  std::int32_t position = rt::inStr(1, cmd, blank);
  if (position == 0) return;
  // Every blank from the first on starts the next parameter; the characters
  // between two blanks are one parameter. Parameters past the fifth are
  // counted but dropped.
  const std::int32_t length = rt::len(cmd);
  while (position <= length) {
    ++g.paramCount;
    const std::int32_t next = rt::inStr(position + 1, cmd, blank);
    const std::int32_t end = next == 0 ? length + 1 : next;
    if (end > position + 1 && g.paramCount <= kParamUpperBound) {
      rt::setStringAt(g.param, g.paramCount, rt::mid(cmd, position + 1, end - position - 1));
    }
    if (next == 0) break;
    position = next;
  }
}

}  // namespace vantor::app
