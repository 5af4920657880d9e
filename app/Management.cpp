// killsys, transsys, ressys, transkill and sysdat: the key system as a whole.
#include "Console.h"
#include "KeySystem.h"
#include "Messages.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "console/ConsoleApi.h"
#include "numbers/NumberApi.h"
#include "text/StringFunctions.h"

namespace vantor::app {
namespace {

void printUnlessInScript(const char* line) {
  if (!inScript()) print(rt::String(line));
}

void printParametersMissing(const char* topic) {
  print(rt::String("Parameters missing error.  Enter help ") + rt::String(topic));
  print(rt::String(kBlank));
}

// The files of a key system whose component 1 has entries files, in the
// order they are copied: the component-1 files, sys.dat, k2.dat, k3.bin.
std::vector<rt::String> keySystemFileNames(std::int32_t entries) {
  std::vector<rt::String> names;
  for (std::int32_t i = 1; i <= entries; ++i) names.push_back(componentOneName(i));
  for (const char* name : {kSysDat, kComponentTwoFile, kComponentThreeFile})
    names.emplace_back(name);
  return names;
}

// Whether a copy onto the file itself counts as done: for a transfer it is,
// but before a deletion it would leave no copy at all.
enum class SameFile { Copied, Failed };

// Copies a key file so that the copy is private from the moment it exists,
// and checks that it arrived whole.
bool copyKeyFile(const rt::FolderItem& source, rt::FolderItem destination, SameFile sameFile) {
  if (!source || !destination || !source.exists()) return false;
  if (source.isSameFile(destination)) return sameFile == SameFile::Copied;
  rt::TextOutputStream placeholder = destination.createPrivateTextFile();
  if (!placeholder) return false;
  placeholder.close();
  rt::FolderItem(source).copyFileTo(destination);
  return destination.exists() && destination.length() == source.length();
}

// Copies every file from one folder to another ("" is the working folder);
// reports the first that fails by the name the tool gives it in from.
bool copyKeySystem(const rt::String& from, const rt::String& to, std::int32_t entries,
                   SameFile sameFile) {
  for (const rt::String& name : keySystemFileNames(entries)) {
    const rt::String sourceName = from + name;
    if (!copyKeyFile(rt::FolderItem::get(sourceName), rt::FolderItem::get(to + name), sameFile)) {
      print(rt::String("Copy of ") + sourceName + rt::String(" failed error."));
      return false;
    }
    RuntimeBackgroundTask();
  }
  return true;
}

void deleteKeyFile(const rt::String& name) {
  rt::FolderItem item = rt::FolderItem::get(name);
  if (item) item.remove();
}

void deleteKeySystem(std::int32_t entries, bool progress) {
  if (progress) print(rt::String("Killing Component 1..."));
  for (std::int32_t i = 1; i <= entries; ++i) {
    deleteKeyFile(componentOneName(i));
    RuntimeBackgroundTask();
  }
  if (progress) print(rt::String("Killing Component 2..."));
  deleteKeyFile(rt::String(kComponentTwoFile));
  if (progress) print(rt::String("Killing Component 3..."));
  deleteKeyFile(rt::String(kComponentThreeFile));
  deleteKeyFile(rt::String(kSysDat));
}

void setEntryCountsToZero() { setEntryCounts(KeySystemCounts{}); }

// The working folder's component-1 count for an operation that needs the key
// system; reports why there is none.
bool loadedComponentOneCount(std::int32_t& entries) {
  const ComponentOneCount count = readComponentOneCount(rt::String());
  if (!count.present) {
    print(rt::String(kSystemNotLoaded));
    return false;
  }
  if (!count.readable) {
    reportUnreadable(rt::String(kSysDat));
    return false;
  }
  entries = count.entries;
  return true;
}

// Every file the key system in folder names is there and can be read.
bool keySystemIsWhole(const rt::String& folder, std::int32_t entries) {
  for (const rt::String& name : keySystemFileNames(entries)) {
    rt::FolderItem item = rt::FolderItem::get(folder + name);
    if (!item || !item.exists() || item.isDirectory() || !item.isReadable()) {
      reportUnreadable(folder + name);
      return false;
    }
  }
  return true;
}

// Steps shared by transsys and transkill after the parameter check.
bool transferKeySystem(std::int32_t& entries, SameFile sameFile) {
  if (!loadedComponentOneCount(entries)) return false;
  getParameters();
  const rt::String folder = folderPath(param(1));
  printUnlessInScript("Copying system files...");
  if (!copyKeySystem(rt::String(), folder, entries, sameFile)) return false;
  printUnlessInScript("=== Copy completed ===");
  printUnlessInScript(kBlank);
  return true;
}

}  // namespace

void killSys(std::int32_t progress) {
  const ComponentOneCount count = readComponentOneCount(rt::String());
  if (!count.present && progress == 1) {
    print(rt::String(kSystemNotLoaded));
    return;
  }
  if (count.present && !count.readable) {
    reportUnreadable(rt::String(kSysDat));
    return;
  }
  deleteKeySystem(count.entries, progress == 1);
  if (progress == 1) {
    print(rt::String("=== System Deleted ==="));
    print(rt::String("createsys or ressys required for future cryptions."));
    print(rt::String(kBlank));
  }
  setEntryCountsToZero();
}

void transferSys() {
  if (globals().cmd == rt::String("transsys")) {
    printParametersMissing("t");
    return;
  }
  std::int32_t entries = 0;
  static_cast<void>(transferKeySystem(entries, SameFile::Copied));
}

void transKill() {
  if (globals().cmd == rt::String("transkill")) {
    printParametersMissing("t");
    return;
  }
  std::int32_t entries = 0;
  if (!transferKeySystem(entries, SameFile::Failed)) return;
  if (!loadedComponentOneCount(entries)) return;
  deleteKeySystem(entries, true);
  printUnlessInScript("=== System Deleted ===");
  printUnlessInScript("createsys or ressys required for future cryptions.");
  printUnlessInScript(kBlank);
  setEntryCountsToZero();
}

void restoreSys() {
  if (globals().cmd == rt::String("ressys")) {
    printParametersMissing("r");
    return;
  }
  getParameters();
  const rt::String folder = folderPath(param(1));
  const ComponentOneCount source = readComponentOneCount(folder);
  if (!source.present) {
    print(rt::String("A System is not currently in place in the folder defined error."));
    return;
  }
  if (readComponentOneCount(rt::String()).present) {
    print(rt::String("A System is currently in place.  Issue transsys and/or killsys."));
    return;
  }
  if (!keySystemIsWhole(folder, source.entries)) return;
  printUnlessInScript("Restoring system files...");
  const bool copied = copyKeySystem(folder, rt::String(), source.entries, SameFile::Copied);
  const KeySystemCounts counts = countKeySystem(rt::String());
  setEntryCounts(counts);
  if (!copied) return;
  reportUnreadable(counts.unreadable);
  printUnlessInScript("=== Restore completed ===");
  printUnlessInScript(kBlank);
}

void systemData(std::int32_t display) {
  const KeySystemCounts counts = countKeySystem(rt::String());
  setEntryCounts(counts);
  if (display != 1) {
    reportUnreadable(counts.unreadable);
    return;
  }
  if (!counts.present) {
    print(rt::String(kSystemNotLoaded));
    return;
  }
  print(rt::String("Examining System..."));
  if (!counts.unreadable.empty()) {
    reportUnreadable(counts.unreadable);
    return;
  }
  const auto kilobytes = [](std::int64_t bytes) {
    return rt::str(static_cast<std::int64_t>(RuntimeRound(static_cast<double>(bytes) / 1024)));
  };
  std::int64_t total = 0;
  for (int component = 0; component < 3; ++component) {
    const std::int64_t bytes = counts.bytes[component];
    total += bytes;
    print(rt::String("Key component ") + rt::str(component + 1) + rt::String(" has ") +
          rt::str(counts.entries[component]) + rt::String(" entries and ") + rt::str(bytes) +
          rt::String(" bytes (") + kilobytes(bytes) + rt::String("K)"));
  }
  print(rt::String("Total System = ") + rt::str(total) + rt::String(" bytes (") + kilobytes(total) +
        rt::String("K)"));
  print(rt::String(kBlank));
}

}  // namespace vantor::app
