#include "files/WriteProbe.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt::files {
namespace {

// Ends the probe's search for a free test file name in a folder full of them.
constexpr int kMaxTestFiles = 1000;

class DateKeeper {
 public:
  explicit DateKeeper(const std::string& path) : path_(path) {
    kept_ = stat(path.c_str(), &status_) == 0;
  }
  ~DateKeeper() {
    if (!kept_) return;
    const timespec times[2] = {status_.st_atim, status_.st_mtim};
    utimensat(AT_FDCWD, path_.c_str(), times, 0);
  }
  DateKeeper(const DateKeeper&) = delete;
  DateKeeper& operator=(const DateKeeper&) = delete;

 private:
  const std::string& path_;
  struct stat status_ {};
  bool kept_ = false;
};

}  // namespace

bool probeFileWrite(const std::string& path, int& error) {
  DateKeeper dates(path);
  std::FILE* file = std::fopen(path.c_str(), "r+e");
  if (file == nullptr) {
    error = errno;
    return false;
  }
  bool writeable = true;
  const int first = std::fgetc(file);
  // An empty file counts as writeable once it opened for writing.
  if (first != EOF) {
    writeable = std::fseek(file, 0, SEEK_SET) == 0 && std::fputc(first, file) != EOF &&
                std::fflush(file) == 0;
  } else if (std::ferror(file)) {
    writeable = false;
  }
  if (!writeable) error = errno;
  (void)std::fclose(file);
  return writeable;
}

bool probeFolderWrite(const std::string& folder, int& error) {
  DateKeeper dates(folder);
  const std::string base = folder + (folder.ends_with('/') ? "" : "/") + "$$TestFile$$";
  for (int n = 0; n < kMaxTestFiles; ++n) {
    const std::string name = base + std::to_string(n);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      unlink(name.c_str());
      return true;
    }
    if (errno != EEXIST) break;
  }
  error = errno;
  return false;
}

}  // namespace rt::files
