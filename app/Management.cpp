// killsys, transsys, ressys, transkill and sysdat: the key system as a whole.
#include <algorithm>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "Console.h"
#include "KeySystem.h"
#include "Messages.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "console/ConsoleApi.h"
#include "files/ReplacementFile.h"
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
// order they are copied: the component-1 files, k2.dat, k3.bin and, last,
// sys.dat, whose presence says the system is there.
std::vector<rt::String> keySystemFileNames(std::int32_t entries) {
  std::vector<rt::String> names;
  for (std::int32_t i = 1; i <= entries; ++i) names.push_back(componentOneName(i));
  for (const char* name : {kComponentTwoFile, kComponentThreeFile, kSysDat})
    names.emplace_back(name);
  return names;
}

// Whether a copy onto the file itself counts as done: for a transfer it is,
// but before a deletion it would leave no copy at all.
enum class SameFile { Copied, Failed };

constexpr std::size_t kCopyBlock = 1 << 16;

bool copyBytes(rt::BinaryStream& from, rt::BinaryStream& to) {
  std::vector<std::uint8_t> block(kCopyBlock);
  while (const std::size_t got = from.readInto(block)) {
    if (!to.writeFrom(std::span(block).first(got))) return false;
    RuntimeBackgroundTask();
  }
  return from.lastErrorCode() == 0;
}

// Copies a key file whole or not at all, private from the moment it exists.
// Only a regular source is read: a FIFO would block and a device never end.
bool copyKeyFile(rt::FolderItem source, const rt::FolderItem& destination) {
  rt::BinaryStream in = source.openRegularBinaryFile();
  if (!in) return false;
  rt::ReplacementFile copy(destination, rt::ReplacementFile::Permissions::Private);
  const bool copied = copy.stream() && copyBytes(in, copy.stream());
  in.close();
  return copied && copy.commit();
}

// The destination's own sys.dat goes before anything is copied, so that an
// interrupted or failed copy never leaves it beside files of another system.
// One that is the source's own file stays: that copy is a no-op.
bool removeDestinationSysDat(const rt::String& from, const rt::String& to) {
  rt::FolderItem destination = rt::FolderItem::get(to + rt::String(kSysDat));
  if (!destination || !destination.exists()) return true;
  const rt::FolderItem source = rt::FolderItem::get(from + rt::String(kSysDat));
  if (source && source.isSameFile(destination)) return true;
  destination.remove();
  return !destination.exists();
}

// Copies every file from one folder to another ("" is the working folder),
// sys.dat last, so that a folder holding sys.dat holds every file of its
// system. Reports the first that fails by the name the tool gives it in from;
// written lists the destination files it made (a file onto itself is none).
bool copyKeySystem(const rt::String& from, const rt::String& to, std::int32_t entries,
                   SameFile sameFile, std::vector<rt::String>& written) {
  const auto failed = [&](const rt::String& name) {
    print(rt::String("Copy of ") + from + name + rt::String(" failed error."));
    return false;
  };
  if (!removeDestinationSysDat(from, to)) return failed(rt::String(kSysDat));
  for (const rt::String& name : keySystemFileNames(entries)) {
    const rt::FolderItem source = rt::FolderItem::get(from + name);
    const rt::FolderItem destination = rt::FolderItem::get(to + name);
    if (!source || !destination) return failed(name);
    if (source.isSameFile(destination)) {
      if (sameFile == SameFile::Failed) return failed(name);
    } else if (copyKeyFile(source, destination)) {
      written.push_back(to + name);
    } else {
      return failed(name);
    }
    RuntimeBackgroundTask();
  }
  return true;
}

void deleteKeyFile(const rt::String& name) {
  rt::FolderItem item = rt::FolderItem::get(name);
  if (item) item.remove();
}

// The entry number n of a component-1 file name "K1" + n + ".bin" (n written
// as the tool writes it, without leading zeros), or 0.
std::int64_t componentOneNumber(std::string_view name) {
  constexpr std::string_view kPrefix = "K1";
  constexpr std::string_view kSuffix = ".bin";
  constexpr std::size_t kMostDigits = 10;
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return 0;
  const std::string_view digits =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  if (digits.empty() || digits.size() > kMostDigits || digits.front() == '0') return 0;
  std::int64_t number = 0;
  for (const char digit : digits) {
    if (digit < '0' || digit > '9') return 0;
    number = number * 10 + (digit - '0');
  }
  return number;
}

// The numbers of the component-1 files in the working folder from 1 to
// entries, ascending. The folder is read once, so that a damaged count far
// beyond the files there costs nothing; a folder that cannot be read leaves
// every number to be tried.
std::vector<std::int32_t> componentOneFilesUpTo(std::int32_t entries) {
  const rt::FolderItem folder = rt::FolderItem::get(rt::String());
  const auto names = folder ? folder.childNames() : std::nullopt;
  std::vector<std::int32_t> numbers;
  if (!names) {
    for (std::int32_t i = 1; i <= entries; ++i) numbers.push_back(i);
    return numbers;
  }
  for (const rt::String& name : *names) {
    const std::int64_t number = componentOneNumber(name.view());
    if (number >= 1 && number <= entries) numbers.push_back(static_cast<std::int32_t>(number));
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

void deleteKeySystem(std::int32_t entries, bool progress) {
  if (progress) print(rt::String("Killing Component 1..."));
  for (const std::int32_t i : componentOneFilesUpTo(entries)) {
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

// Every file the key system in folder names is there as a regular file and
// can be read.
bool keySystemIsWhole(const rt::String& folder, std::int32_t entries) {
  for (const rt::String& name : keySystemFileNames(entries)) {
    rt::FolderItem item = rt::FolderItem::get(folder + name);
    rt::BinaryStream probe = item ? item.openRegularBinaryFile() : rt::BinaryStream();
    if (!probe) {
      reportUnreadable(folder + name);
      return false;
    }
    probe.close();
  }
  return true;
}

// Steps shared by transsys and transkill after the parameter check.
bool transferKeySystem(std::int32_t& entries, SameFile sameFile) {
  if (!loadedComponentOneCount(entries)) return false;
  getParameters();
  const rt::String folder = folderPath(param(1));
  printUnlessInScript("Copying system files...");
  std::vector<rt::String> written;
  if (!copyKeySystem(rt::String(), folder, entries, sameFile, written)) return false;
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
  std::vector<rt::String> written;
  const bool copied =
      copyKeySystem(folder, rt::String(), source.entries, SameFile::Copied, written);
  // Half a system is none: what was written goes again.
  if (!copied) {
    for (const rt::String& name : written) deleteKeyFile(name);
  }
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
