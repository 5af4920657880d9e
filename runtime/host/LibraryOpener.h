// Opening the shared libraries a module image calls into, and the list of
// libraries opened so far.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rt::host {

// The paths the library cache listing (the output of "ldconfig -p") gives
// for the name, its ".so" form or a versioned ".so." form, in listing order.
std::vector<std::string> cachedLibraryPaths(const std::string& name, std::string_view cacheListing);

// A handle from dlopen (RTLD_LAZY) of the name as given, else of the name
// with ".so" appended, else of the cached paths (symbolic links are followed
// by dlopen itself). Null when none opens.
void* openLibrary(const std::string& name);

struct LoadedLibrary {
  std::string name;
  void* handle;  // null: the library could not be opened
};

// The list entry of the library of this name (matched ignoring case), newest
// first; created with openLibrary's handle when absent, and created says so.
const LoadedLibrary& loadedLibrary(const std::string& name, bool& created);

}  // namespace rt::host
