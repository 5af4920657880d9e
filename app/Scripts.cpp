// x scriptfile: a batch of tool and shell commands, verified before it runs.
#include <vector>

#include "Console.h"
#include "KeySystem.h"
#include "Messages.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "Shell.h"
#include "console/ConsoleApi.h"
#include "text/StringFunctions.h"

namespace vantor::app {
namespace {

enum class ToolCommand { None, CreateSys, RestoreSys, KillSys, TransferSys, Encrypt, Decrypt };

struct ToolWord {
  const char* word;
  ToolCommand command;
};

// The tool commands a script may hold; every other line goes to the shell.
constexpr ToolWord kToolWords[] = {
    {"createsys", ToolCommand::CreateSys}, {"ressys", ToolCommand::RestoreSys},
    {"killsys", ToolCommand::KillSys},     {"transsys", ToolCommand::TransferSys},
    {"enc", ToolCommand::Encrypt},         {"dec", ToolCommand::Decrypt},
};

ToolCommand toolCommandOf(const rt::String& line, const char** word = nullptr) {
  for (const ToolWord& tool : kToolWords) {
    const rt::String prefix(tool.word);
    if (rt::left(line, rt::len(prefix)) == prefix) {
      if (word != nullptr) *word = tool.word;
      return tool.command;
    }
  }
  return ToolCommand::None;
}

// The script file named by Param(1); null when the name is empty or names
// no regular file that can be read (a FIFO would block the tool).
rt::FolderItem scriptFile() {
  const rt::String name = param(1);
  if (name.empty()) return rt::FolderItem();
  rt::FolderItem item = rt::FolderItem::get(name);
  rt::TextInputStream probe = item ? item.openRegularTextFile() : rt::TextInputStream();
  if (!probe) return rt::FolderItem();
  probe.close();
  return item;
}

struct ScriptLine {
  rt::String text;
  rt::String number;
};

// The script's tool command lines with their line numbers (empty lines count).
std::vector<ScriptLine> toolLinesOf(rt::TextInputStream& script) {
  std::vector<ScriptLine> lines;
  std::int32_t number = 0;
  while (!script.eof()) {
    const rt::String line = script.readLine();
    ++number;
    if (!line.empty() && toolCommandOf(line) != ToolCommand::None)
      lines.push_back({line, rt::str(number)});
    RuntimeBackgroundTask();
  }
  return lines;
}

class Verification {
 public:
  void check(const ScriptLine& line);
  std::int32_t errors() const { return errors_; }
  std::int32_t warnings() const { return warnings_; }
  bool systemPresent = false;

 private:
  enum class Kind { Error, Warning, ReportOnly };

  void report(const ScriptLine& line, const char* reason, Kind kind);
  void setCmd(const ScriptLine& line);
  bool componentsAreWithinTheCounts(const ScriptLine& line);
  void checkCreateSys(const ScriptLine& line);
  void checkRestoreSys(const ScriptLine& line);
  void checkTransferSys(const ScriptLine& line);
  void checkCryption(const ScriptLine& line, const char* word);

  std::int32_t errors_ = 0;
  std::int32_t warnings_ = 0;
};

void Verification::report(const ScriptLine& line, const char* reason, Kind kind) {
  const char* prefix = kind == Kind::Warning ? "Warning Line " : "Error Line ";
  print(rt::String(prefix) + line.number + rt::String(" - ") + line.text + rt::String(reason));
  if (kind == Kind::Error) ++errors_;
  if (kind == Kind::Warning) ++warnings_;
}

void Verification::setCmd(const ScriptLine& line) {
  globals().cmd = line.text;
  getParameters();
}

void Verification::check(const ScriptLine& line) {
  const char* word = nullptr;
  switch (toolCommandOf(line.text, &word)) {
    case ToolCommand::CreateSys:
      checkCreateSys(line);
      break;
    case ToolCommand::RestoreSys:
      checkRestoreSys(line);
      break;
    case ToolCommand::KillSys:
      if (!systemPresent) report(line, " | no system present", Kind::Warning);
      systemPresent = false;
      break;
    case ToolCommand::TransferSys:
      checkTransferSys(line);
      break;
    case ToolCommand::Encrypt:
    case ToolCommand::Decrypt:
      checkCryption(line, word);
      break;
    case ToolCommand::None:
      break;
  }
}

void Verification::checkCreateSys(const ScriptLine& line) {
  if (systemPresent) return report(line, " | System is present", Kind::Error);
  setCmd(line);
  if (globals().paramCount != 4) return report(line, " | Missing Parameters ", Kind::ReportOnly);
  const char* reasons[] = {" | component 1 error", " | component 2 error", " | component 3 error"};
  for (std::int32_t component = 1; component <= 3; ++component) {
    if (rt::val(param(component)) == 0)
      return report(line, reasons[component - 1], Kind::ReportOnly);
  }
  if (expansionRange(param(4)) < 0)
    return report(line, " | expansion param error", Kind::ReportOnly);
  systemPresent = true;
}

void Verification::checkRestoreSys(const ScriptLine& line) {
  if (systemPresent) return report(line, " | System is present", Kind::Error);
  setCmd(line);
  if (param(1).empty()) return report(line, " | Path is missing", Kind::Error);
  getSystemData(folderPath(param(1)));
  systemPresent = true;
}

void Verification::checkTransferSys(const ScriptLine& line) {
  if (!systemPresent) return report(line, " | System not present", Kind::Error);
  setCmd(line);
  if (param(1).empty()) report(line, " | Path is missing", Kind::Error);
}

// The length of the source as a binary file opened for reading; 0 when it
// cannot be opened or is no regular file.
std::int64_t sourceLength(const rt::String& name) {
  rt::FolderItem item = rt::FolderItem::get(name);
  if (!item) return 0;
  rt::BinaryStream stream = item.openRegularBinaryFile();
  if (!stream) return 0;
  const std::int64_t length = stream.length();
  stream.close();
  return length;
}

void Verification::checkCryption(const ScriptLine& line, const char* word) {
  if (line.text == rt::String(word)) return report(line, " | Parameters missing", Kind::Error);
  if (!systemPresent) return report(line, " | System not present", Kind::Error);
  setCmd(line);
  const ModuleGlobals& g = globals();
  if (g.paramCount != 5) return report(line, " | Missing Parameters ", Kind::ReportOnly);
  const std::int32_t counts[] = {g.comp1Entries, g.comp2Entries, g.comp3Entries};
  const char* reasons[] = {" | component 1 error", " | component 2 error", " | component 3 error"};
  for (std::int32_t component = 0; component < 3; ++component) {
    const double number = rt::val(param(component + 3));
    if (!isEntryNumber(number) || number > counts[component]) {
      return report(line, reasons[component], Kind::ReportOnly);
    }
  }
  if (param(1) == param(2)) return report(line, " | src/tar conflict", Kind::ReportOnly);
  if (sourceLength(param(1)) == 0) report(line, " | srcfile name conflict", Kind::ReportOnly);
}

// Runs one script line: a tool command through its operation, anything else
// through a new shell.
void runScriptLine(const rt::String& line) {
  print(rt::String(".") + line);
  const ToolCommand command = toolCommandOf(line);
  if (command == ToolCommand::None) {
    Shell shell;
    print(shell.execute(line));
    return;
  }
  globals().cmd = line;
  switch (command) {
    case ToolCommand::CreateSys:
      return createSys();
    case ToolCommand::RestoreSys:
      return restoreSys();
    case ToolCommand::KillSys:
      return killSys(0);
    case ToolCommand::TransferSys:
      return transferSys();
    case ToolCommand::Encrypt:
      return encrypt();
    case ToolCommand::Decrypt:
      return decrypt();
    case ToolCommand::None:
      break;
  }
}

// ScriptMode is 1 for exactly as long as the script's lines run.
class ScriptModeScope {
 public:
  ScriptModeScope() { globals().scriptMode = 1; }
  ~ScriptModeScope() { globals().scriptMode = 0; }
  ScriptModeScope(const ScriptModeScope&) = delete;
  ScriptModeScope& operator=(const ScriptModeScope&) = delete;
};

void printScriptNotFound() {
  print(rt::String("The scriptfile defined cannot be located.  Please"));
  print(rt::String("verify and reenter."));
}

}  // namespace

void runScript() {
  if (globals().cmd == rt::String("x")) {
    print(rt::String("Parameters missing error.  Enter help x"));
    print(rt::String(kBlank));
    return;
  }
  getParameters();
  // Kept: verification overwrites the parameters.
  rt::FolderItem file = scriptFile();
  if (!file) return printScriptNotFound();
  print(rt::String("Verifying..."));
  if (verifyScript() == 1) {
    print(rt::String("VerifyScript failed"));
    return;
  }
  print(rt::String("Verify OK"));
  print(rt::String("Executing script file..."));
  {
    ScriptModeScope scriptMode;
    rt::TextInputStream script = file.openRegularTextFile();
    while (script && !script.eof()) {
      const rt::String line = script.readLine();
      if (!line.empty()) runScriptLine(line);
      RuntimeBackgroundTask();
    }
    if (script) script.close();
    print(rt::String("==== Script completed ==="));
    print(rt::String(kBlank));
  }
  printKeySystemState();
  print(rt::String(kBlank));
}

std::int32_t verifyScript() {
  systemData(0);
  Verification verification;
  verification.systemPresent = globals().comp1Entries > 0;
  rt::FolderItem file = scriptFile();
  rt::TextInputStream script = file ? file.openRegularTextFile() : rt::TextInputStream();
  std::vector<ScriptLine> lines;
  if (script) {
    lines = toolLinesOf(script);
    script.close();
  }
  for (const ScriptLine& line : lines) verification.check(line);
  systemData(0);
  print(rt::str(verification.errors()) + rt::String(" errors ") + rt::str(verification.warnings()) +
        rt::String(" warnings"));
  return verification.errors() > 0 ? 1 : 0;
}

void getSystemData(const rt::String& folder) { setEntryCounts(countKeySystem(folder)); }

}  // namespace vantor::app
