// Probes that decide whether a file or folder can be written when access()
// says no (access() judges by the real user; the probes by what succeeds).
// Both leave the modification date of what they touch as it was.
#pragma once

#include <string>

namespace rt::files {

// Rewrites the first byte of an existing file in place. On failure error
// receives errno.
bool probeFileWrite(const std::string& path, int& error);

// Creates and deletes a free "$$TestFile$$<n>" in the folder. On failure error
// receives errno.
bool probeFolderWrite(const std::string& folder, int& error);

}  // namespace rt::files
