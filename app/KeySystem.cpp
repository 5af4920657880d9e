#include "KeySystem.h"

#include <cmath>

#include "Console.h"
#include "Messages.h"
#include "ModuleGlobals.h"
#include "console/ConsoleApi.h"
#include "numbers/NumberApi.h"
#include "text/StringFunctions.h"

namespace vantor::app {
namespace {

struct LineCount {
  bool readable = false;
  std::int32_t lines = 0;
  std::int64_t characters = 0;
};

// Reads the file line by line to its end.
LineCount countLines(rt::FolderItem item) {
  LineCount count;
  if (!item) return count;
  rt::TextInputStream in = item.openRegularTextFile();
  if (!in) return count;
  count.readable = true;
  while (!in.eof()) {
    const rt::String line = in.readLine();
    ++count.lines;
    count.characters += rt::len(line);
    RuntimeBackgroundTask();
  }
  in.close();
  return count;
}

struct ExpansionLevel {
  const char* letter;
  std::int32_t range;
};
constexpr ExpansionLevel kExpansionLevels[] = {{"l", 10}, {"m", 50}, {"h", 99}, {"n", 0}};

}  // namespace

rt::String folderPath(const rt::String& folder) {
  if (rt::right(folder, 1).view() == "/") return folder;
  return folder + rt::String("/");
}

std::int32_t expansionRange(const rt::String& letter) {
  for (const ExpansionLevel& level : kExpansionLevels) {
    if (letter == rt::String(level.letter)) return level.range;
  }
  return -1;
}

rt::String componentOneName(const rt::String& number) {
  return rt::String("K1") + number + rt::String(".bin");
}

rt::String componentOneName(std::int32_t number) { return componentOneName(rt::str(number)); }

bool isEntryNumber(double number) { return std::isfinite(number) && number >= 1; }

std::int32_t toInteger(double value) { return RuntimeCvtReal64ToSInt32(value); }

ComponentOneCount readComponentOneCount(const rt::String& folder) {
  ComponentOneCount count;
  rt::FolderItem item = rt::FolderItem::get(folder + rt::String(kSysDat));
  if (!item || !item.exists()) return count;
  count.present = true;
  rt::TextInputStream in = item.openRegularTextFile();
  if (!in) return count;
  count.readable = true;
  count.entries = toInteger(rt::val(in.readLine()));
  in.close();
  return count;
}

KeySystemCounts countKeySystem(const rt::String& folder) {
  KeySystemCounts counts;
  const ComponentOneCount first = readComponentOneCount(folder);
  counts.present = first.present;
  if (!first.present) return counts;
  if (!first.readable) counts.unreadable.push_back(folder + rt::String(kSysDat));
  counts.entries[0] = first.entries;
  counts.bytes[0] = first.entries * kComponentOneFileBytes;
  const char* names[] = {kComponentTwoFile, kComponentThreeFile};
  for (int component = 1; component < 3; ++component) {
    const rt::String name = folder + rt::String(names[component - 1]);
    const LineCount lines = countLines(rt::FolderItem::get(name));
    if (!lines.readable) counts.unreadable.push_back(name);
    counts.entries[component] = lines.lines;
    counts.bytes[component] = lines.characters;
  }
  return counts;
}

void reportUnreadable(const rt::String& name) {
  print(rt::String("Key system file ") + name + rt::String(" cannot be read error."));
}

void reportUnreadable(const std::vector<rt::String>& names) {
  for (const rt::String& name : names) reportUnreadable(name);
}

void printKeySystemState() {
  const bool present = readComponentOneCount(rt::String()).present;
  print(rt::String(present ? kSystemReady : kSystemNotInstalled));
}

void setEntryCounts(const KeySystemCounts& counts) {
  ModuleGlobals& g = globals();
  g.comp1Entries = counts.entries[0];
  g.comp2Entries = counts.entries[1];
  g.comp3Entries = counts.entries[2];
}

}  // namespace vantor::app
