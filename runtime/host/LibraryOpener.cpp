#include "host/LibraryOpener.h"

#include <dlfcn.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <forward_list>

namespace rt::host {
namespace {

// The cache listing: one library a line, "\t<name> (<flags>) => <path>".
std::string readCacheListing() {
  std::string listing;
  std::FILE* pipe = popen("/sbin/ldconfig -p 2>/dev/null", "r");  // NOLINT(cert-env33-c)
  if (pipe == nullptr) return listing;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) listing.append(buffer, n);
  pclose(pipe);
  return listing;
}

bool cacheNameMatches(std::string_view cached, const std::string& name) {
  const std::string shared = name.ends_with(".so") ? name : name + ".so";
  return cached == name || cached == shared || cached.starts_with(shared + ".");
}

// dlopen follows symbolic links itself, so a link to a library opens as the
// library does.
void* tryOpen(const std::string& candidate) { return dlopen(candidate.c_str(), RTLD_LAZY); }

}  // namespace

std::vector<std::string> cachedLibraryPaths(const std::string& name, std::string_view cacheListing) {
  std::vector<std::string> candidates;
  while (!cacheListing.empty()) {
    const std::size_t end = std::min(cacheListing.find('\n'), cacheListing.size());
    std::string_view line = cacheListing.substr(0, end);
    cacheListing.remove_prefix(std::min(end + 1, cacheListing.size()));
    const std::size_t start = line.find_first_not_of(" \t");
    const std::size_t arrow = line.find(" => ");
    if (start == std::string_view::npos || arrow == std::string_view::npos) continue;
    const std::string_view cached = line.substr(start, line.find_first_of(" \t", start) - start);
    if (cacheNameMatches(cached, name)) candidates.emplace_back(line.substr(arrow + 4));
  }
  return candidates;
}

void* openLibrary(const std::string& name) {
  if (void* handle = tryOpen(name)) return handle;
  // The cache is consulted only when the plain names fail: it costs a process.
  if (!name.ends_with(".so")) {
    if (void* handle = tryOpen(name + ".so")) return handle;
  }
  for (const std::string& candidate : cachedLibraryPaths(name, readCacheListing())) {
    if (void* handle = tryOpen(candidate)) return handle;
  }
  return nullptr;
}

const LoadedLibrary& loadedLibrary(const std::string& name, bool& created) {
  static std::forward_list<LoadedLibrary> libraries;
  for (const LoadedLibrary& library : libraries) {
    if (strcasecmp(library.name.c_str(), name.c_str()) == 0) {
      created = false;
      return library;
    }
  }
  created = true;
  return libraries.emplace_front(LoadedLibrary{name, openLibrary(name)});
}

}  // namespace rt::host
