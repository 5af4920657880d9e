// The lock file of a Mutex, in the temporary folder. It is held with flock:
// an exclusive lock on one open file excludes every other opening of the same
// file, in another process or in this one, so two Mutex objects of the same
// name exclude each other wherever they are.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace rt::console {

class LockFile {
 public:
  // Opens the file of that name in the temporary folder, creating it when
  // needed, or a new file of a unique name for an empty name; null when the
  // file cannot be opened.
  static std::unique_ptr<LockFile> open(std::string_view name);
  // Closes the file, which lets go of the lock; a file of a unique name,
  // which nobody else can know, is removed.
  ~LockFile();
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // Takes the lock without waiting; false when another opening holds it.
  bool tryLock();
  void unlock();
  const std::string& path() const { return path_; }

 private:
  LockFile(int descriptor, std::string path, bool removeWhenClosed);

  int descriptor_;
  std::string path_;
  bool removeWhenClosed_;
};

// TMPDIR when it is set, otherwise /tmp.
std::string temporaryFolder();

}  // namespace rt::console
