#include "console/LockFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace rt::console {

std::unique_ptr<LockFile> LockFile::open(std::string_view name) {
  const std::string folder = temporaryFolder();
  if (name.empty()) {
    std::string pattern = folder + "/MutexXXXXXX";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    const int descriptor = mkostemp(path.data(), O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    return std::unique_ptr<LockFile>(new LockFile(descriptor, path.data(), true));
  }
  std::string path = folder + "/" + std::string(name);
  const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) return nullptr;
  return std::unique_ptr<LockFile>(new LockFile(descriptor, std::move(path), false));
}

LockFile::LockFile(int descriptor, std::string path, bool removeWhenClosed)
    : descriptor_(descriptor), path_(std::move(path)), removeWhenClosed_(removeWhenClosed) {}

LockFile::~LockFile() {
  if (removeWhenClosed_) unlink(path_.c_str());
  close(descriptor_);
}

bool LockFile::tryLock() {
  int result;
  while ((result = flock(descriptor_, LOCK_EX | LOCK_NB)) == -1 && errno == EINTR) {
  }
  return result == 0;
}

void LockFile::unlock() { flock(descriptor_, LOCK_UN); }

std::string temporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? std::string(folder) : std::string("/tmp");
}

}  // namespace rt::console
