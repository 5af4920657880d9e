// createsys # # # A: a new key system in the working folder.
#include <functional>

#include "Console.h"
#include "KeyGenerator.h"
#include "KeySystem.h"
#include "Messages.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "Progress.h"
#include "RandomDraws.h"
#include "console/ConsoleApi.h"
#include "numbers/NumberApi.h"
#include "text/StringFunctions.h"

namespace vantor::app {
namespace {

constexpr std::int32_t kLinesPerComponentOneFile = 20;

bool checksPass() {
  const ModuleGlobals& g = globals();
  if (g.cmd == rt::String("createsys")) {
    print(rt::String("Parameters missing error.  Enter help c"));
    print(rt::String(kBlank));
    return false;
  }
  if (readComponentOneCount(rt::String()).present) {
    print(rt::String("A System is currently in place.  Please issue transsys command"));
    print(rt::String("then killsys command then you can create a new system."));
    return false;
  }
  getParameters();
  if (g.paramCount != 4) {
    print(rt::String("Missing Parameters error.  Enter Help C"));
    return false;
  }
  for (std::int32_t component = 1; component <= 3; ++component) {
    if (rt::val(param(component)) == 0) {
      print(rt::String("Numeric Parameter required for component ") + rt::str(component) +
            rt::String(" error."));
      return false;
    }
  }
  if (expansionRange(param(4)) < 0) {
    print(rt::String("Missing or invalid expansion param error."));
    return false;
  }
  return true;
}

// Writes a key file (private from the start) line by line; false, with the
// failure reported, when it cannot be created or written.
bool writeKeyFile(const rt::String& name, std::int32_t lines,
                  const std::function<std::string()>& nextLine) {
  rt::FolderItem item = rt::FolderItem::get(name);
  rt::TextOutputStream out = item ? item.createPrivateTextFile() : rt::TextOutputStream();
  if (out) {
    // The first failed write ends the file: on a full disk the rest would
    // fail too, however many lines are still to come.
    for (std::int32_t i = 0; i < lines && out.lastErrorCode() == 0; ++i) {
      out.writeLine(rt::String::bytes(nextLine(), kEncodingASCII));
      RuntimeBackgroundTask();
    }
    out.close();
  }
  if (out && out.lastErrorCode() == 0) return true;
  print(rt::String("Key system file ") + name + rt::String(" cannot be created error."));
  return false;
}

// True while every read of the random source succeeded; reports it otherwise.
bool stillRandom(RandomDraws& draws) {
  if (draws.available()) return true;
  print(rt::String(kRandomSourceUnavailable));
  return false;
}

// A failed read of the random source stops the run before the next file, so
// no file after it, sys.dat above all, is made of values that are not random.
bool createKeyFiles(RandomDraws& draws, std::int32_t entries1, std::int32_t entries2,
                    std::int32_t entries3, std::int32_t range) {
  if (!inScript()) {
    print(rt::String("Generating Key Component 1"));
    print(rt::String("This might take awhile..."));
  }
  Progress progress("Key component 1: ", ProgressUnit::Entries, entries1);
  for (std::int32_t n = 1; n <= entries1; ++n) {
    if (!writeKeyFile(componentOneName(n), kLinesPerComponentOneFile,
                      [&] { return componentOneLine(draws); }) ||
        !stillRandom(draws)) {
      return false;
    }
    progress.update(n);
  }
  if (!inScript()) {
    print(rt::String(kBlank));
    print(rt::String("Generating Key Component 2"));
  }
  if (!writeKeyFile(rt::String(kComponentTwoFile), entries2,
                    [&] { return componentTwoLine(draws); }) ||
      !stillRandom(draws)) {
    return false;
  }
  if (!inScript()) print(rt::String("Generating Key Component 3"));
  ComponentThreeLines componentThree(range);
  if (!writeKeyFile(rt::String(kComponentThreeFile), entries3,
                    [&] { return componentThree.next(draws); }) ||
      !stillRandom(draws)) {
    return false;
  }
  // Written last: without it an interrupted run leaves no key system.
  return writeKeyFile(rt::String(kSysDat), 1, [&] { return rt::str(entries1).str(); });
}

}  // namespace

void createSys() {
  if (!checksPass()) return;
  // Tried before anything is written.
  RandomDraws draws(rt::numbers::RandomUse::Secret);
  if (!stillRandom(draws)) return;
  ModuleGlobals& g = globals();
  g.comp1Entries = toInteger(rt::val(param(1)));
  g.comp2Entries = toInteger(rt::val(param(2)));
  g.comp3Entries = toInteger(rt::val(param(3)));
  if (!createKeyFiles(draws, g.comp1Entries, g.comp2Entries, g.comp3Entries,
                      expansionRange(param(4)))) {
    setEntryCounts(KeySystemCounts{});
    return;
  }
  if (!inScript()) {
    print(rt::String("System Created."));
    print(rt::String(kBlank));
  }
}

}  // namespace vantor::app
