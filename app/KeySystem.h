// The key system as a set of files: their names, their fixed-width digit
// fields, and the entry counts derived from them.
#pragma once

#include <cstdint>
#include <vector>

#include "files/FolderItem.h"
#include "text/StringHandle.h"

namespace vantor::app {

inline constexpr const char* kSysDat = "sys.dat";
inline constexpr const char* kComponentTwoFile = "k2.dat";
inline constexpr const char* kComponentThreeFile = "k3.bin";
// Characters of one component-1 file: 20 lines of 768 digits, line ends not counted.
inline constexpr std::int64_t kComponentOneFileBytes = 15360;

// "K1" + the entry number's text + ".bin": the text exactly as given, so
// "007" names K1007.bin.
rt::String componentOneName(const rt::String& number);
rt::String componentOneName(std::int32_t number);

// Doubles become Integers by truncation toward zero, as everywhere in the tool.
std::int32_t toInteger(double value);

// Whether a component number of enc or dec names an entry: a finite number
// whose whole part is at least 1. Any other number would select no line at
// all and leave the key empty.
bool isEntryNumber(double number);

// A folder parameter as the key system commands use it: with a "/" appended
// unless it ends in one (so an empty one is the root folder).
rt::String folderPath(const rt::String& folder);

// The filler range of createsys's expansion letter (l 10, m 50, h 99, n 0,
// case ignored), or -1 for any other text.
std::int32_t expansionRange(const rt::String& letter);

// The component-1 entry count on the first line of folder's sys.dat.
struct ComponentOneCount {
  bool present = false;   // sys.dat exists
  bool readable = false;  // and could be opened as a regular file
  std::int32_t entries = 0;
};
ComponentOneCount readComponentOneCount(const rt::String& folder);

struct KeySystemCounts {
  bool present = false;
  std::int32_t entries[3] = {0, 0, 0};
  std::int64_t bytes[3] = {0, 0, 0};
  // Key files that exist in name only: present in the key system but not
  // readable, or no regular file; their entries count as 0.
  std::vector<rt::String> unreadable;
};

// Counts the entries (and characters) of the key system in folder; nothing
// but sys.dat is opened when sys.dat is missing.
KeySystemCounts countKeySystem(const rt::String& folder);

// "Key system file <name> cannot be read error."
void reportUnreadable(const rt::String& name);
void reportUnreadable(const std::vector<rt::String>& names);

// Prints whether the working folder holds a key system.
void printKeySystemState();

// Sets the three entry counts of the globals.
void setEntryCounts(const KeySystemCounts& counts);

}  // namespace vantor::app
