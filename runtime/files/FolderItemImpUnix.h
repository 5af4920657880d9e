// The Linux implementation behind a folder item: an absolute path and the
// error number of the last failed system call made for it.
//
// Invariants:
//  - The path is absolute; it ends with "/" exactly when it named an existing
//    folder when it was set (or the item was made a folder).
//  - Failures never raise: they leave errno in lastError(), which no success
//    resets.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/UnixDataFile.h"

namespace rt::files {

class FolderItemImpUnix {
 public:
  // The item for a path: a relative one is joined to the application folder
  // and a symbolic link is followed one level. Null when the path cannot name
  // an item (stat fails other than with ENOENT).
  static std::unique_ptr<FolderItemImpUnix> resolve(std::string_view path);

  std::int32_t lastError() const { return lastError_; }
  const std::string& path() const { return path_; }

  bool exists();
  bool directory();
  bool alias();
  std::uint64_t length();
  std::string name() const;
  // Renames in place; a missing item only changes its path.
  void setName(std::string_view name);
  bool isReadable();
  bool isWriteable();
  bool locked() { return !isWriteable(); }

  void remove();
  void createAsFolder();
  void copyFileTo(const FolderItemImpUnix& destination);
  void moveFileTo(const FolderItemImpUnix& destination);

  // A new file of 0 bytes (created or truncated); null when locked or failing.
  std::unique_ptr<UnixDataFile> createFile();
  // A new private file of 0 bytes (mode 0600), or the existing regular one
  // truncated and made private; null when failing.
  std::unique_ptr<UnixDataFile> createPrivateFile();
  // Whether both items name one existing file (same device and inode), also
  // under different paths or through links.
  bool sameFileAs(const FolderItemImpUnix& other) const;
  // The existing file in a UnixDataFile mode; null when failing.
  std::unique_ptr<UnixDataFile> openFile(int mode);
  // The existing regular file for reading; null, without blocking, for
  // anything else.
  std::unique_ptr<UnixDataFile> openRegularFile();
  // The names in the folder, "." and ".." left out, in no particular order;
  // nothing when it cannot be read.
  std::optional<std::vector<std::string>> childNames();

 private:
  explicit FolderItemImpUnix(std::string path) : path_(std::move(path)) {}
  static std::unique_ptr<FolderItemImpUnix> make(std::string_view path);
  std::unique_ptr<FolderItemImpUnix> followAlias();
  bool succeeded(int result);
  std::string withoutTrailingSlash() const;

  std::int32_t lastError_ = 0;
  std::string path_;
};

}  // namespace rt::files
