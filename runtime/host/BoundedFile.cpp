#include "host/BoundedFile.h"

#include <sys/stat.h>

namespace rt::host {

BoundedFile::BoundedFile(const char* path) : file_(std::fopen(path, "rb")) {
  if (file_ == nullptr) return;
  // A folder opens too, and on some file systems reports a size near 2^63.
  struct stat status {};
  if (fstat(fileno(file_), &status) != 0 || !S_ISREG(status.st_mode)) {
    (void)std::fclose(file_);
    file_ = nullptr;
    return;
  }
  if (std::fseek(file_, 0, SEEK_END) == 0) {
    const long end = std::ftell(file_);
    size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
  }
}

BoundedFile::~BoundedFile() {
  // Opened for reading only: closing cannot lose anything.
  if (file_ != nullptr) (void)std::fclose(file_);
}

bool BoundedFile::readAt(std::uint64_t offset, void* into, std::uint64_t n) {
  if (file_ == nullptr || offset > size_ || n > size_ - offset) return false;
  if (n == 0) return true;
  if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return std::fread(into, 1, n, file_) == n;
}

}  // namespace rt::host
