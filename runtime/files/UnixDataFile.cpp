#include "files/UnixDataFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "host/FailureReport.h"

static_assert(sizeof(off_t) == 8, "files need 64-bit offsets");

namespace rt::files {

// A file still open here was never closed by its owner: there is no one left
// to tell of a failure.
UnixDataFile::~UnixDataFile() {
  if (file_ != nullptr) (void)std::fclose(file_);
}

void UnixDataFile::recordError() { error_ = errno; }

// "e" keeps the descriptor out of the commands the runtime starts.
bool UnixDataFile::create(const char* path) {
  file_ = std::fopen(path, "w+e");
  if (file_ == nullptr) recordError();
  return file_ != nullptr;
}

bool UnixDataFile::adoptDescriptor(int fd) {
  if (fd >= 0) file_ = fdopen(fd, "w+");
  if (file_ != nullptr) return true;
  recordError();
  if (fd >= 0) ::close(fd);
  return false;
}

// fchmod also narrows a file that existed with a wider mode before it is
// written to. Only a regular file will do: a FIFO keeps nothing (and blocks
// once full), a device swallows everything, and neither may be narrowed.
// O_NONBLOCK and O_NOCTTY keep opening one from waiting or taking over a
// terminal; they change nothing for a regular file.
bool UnixDataFile::createPrivate(const char* path) {
  struct stat status {};
  if (stat(path, &status) == 0 && !S_ISREG(status.st_mode)) {
    error_ = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  const int fd = ::open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
  const bool opened = fd >= 0 && fstat(fd, &status) == 0;
  if (opened && !S_ISREG(status.st_mode)) {
    error_ = EINVAL;
  } else if (opened && fchmod(fd, 0600) == 0) {
    return adoptDescriptor(fd);
  } else {
    recordError();
  }
  if (fd >= 0) ::close(fd);
  return false;
}

bool UnixDataFile::open(const char* path, int mode) {
  const char* how = nullptr;
  if (mode == kModeRead) how = "re";
  if (mode == kModeReadWrite) how = "r+e";
  if (how == nullptr) {
    reportAssertion("../Universal/DataFile", __LINE__, "0",
                    "Invalid permissions passed in to UnixDataFile::Open");
    return false;
  }
  file_ = std::fopen(path, how);
  if (file_ == nullptr) {
    recordError();
    return false;
  }
  // The C library opens a folder for reading, but every read then fails and
  // the end is never reached: a reader looping to the end would never stop.
  struct stat status {};
  if (fstat(fileno(file_), &status) == 0 && S_ISDIR(status.st_mode)) {
    (void)std::fclose(file_);
    file_ = nullptr;
    error_ = EISDIR;
    return false;
  }
  return true;
}

// O_NONBLOCK keeps the open of a FIFO from waiting for a writer; the check
// then refuses it, and a regular file reads the same either way.
bool UnixDataFile::openRegular(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat status {};
  if (fd < 0 || fstat(fd, &status) != 0) {
    recordError();
  } else if (!S_ISREG(status.st_mode)) {
    error_ = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
  } else {
    file_ = fdopen(fd, "r");
    if (file_ != nullptr) return true;
    recordError();
  }
  if (fd >= 0) ::close(fd);
  return false;
}

void UnixDataFile::turnTo(Direction direction) {
  // The seek writes out what is buffered, so its failure is a write's.
  if (direction_ != Direction::None && direction_ != direction && fseeko(file_, 0, SEEK_CUR) != 0) {
    recordError();
  }
  direction_ = direction;
}

bool UnixDataFile::read(void* buffer, std::size_t count, std::size_t& countRead) {
  countRead = 0;
  if (file_ == nullptr) return false;
  if (count == 0) return true;
  turnTo(Direction::Reading);
  errno = 0;
  countRead = std::fread(buffer, 1, count, file_);
  if (countRead == count) return true;
  const bool failed = std::ferror(file_) && errno != 0;
  if (failed) recordError();
  // The end-of-file mark is sticky; a file that grows later must be readable.
  std::clearerr(file_);
  return !failed && countRead > 0;
}

bool UnixDataFile::write(const void* buffer, std::size_t count) {
  if (file_ == nullptr) return false;
  if (count == 0) return true;
  turnTo(Direction::Writing);
  errno = 0;
  if (std::fwrite(buffer, 1, count, file_) == count) return true;
  if (errno != 0) recordError();
  std::clearerr(file_);
  return false;
}

// Bytes read ahead exist only while reading, and a pipe could not take them
// back. Otherwise the flush hands buffered writes to the descriptor, sets its
// offset to the stream's position and makes the C library forget the offset
// it keeps, so that it asks the descriptor again afterwards.
bool UnixDataFile::readDirect(void* buffer, std::size_t count, std::size_t& countRead) {
  if (direction_ == Direction::Reading) return read(buffer, count, countRead);
  countRead = 0;
  if (file_ == nullptr) return false;
  if (count == 0) return true;
  flush();
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  while (countRead < count) {
    const ssize_t n = ::read(fileno(file_), bytes + countRead, count - countRead);
    if (n > 0) {
      countRead += static_cast<std::size_t>(n);
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      recordError();
      return false;
    }
  }
  return countRead > 0;
}

// Bytes the flush could not write would belong before these ones.
bool UnixDataFile::writeDirect(const void* buffer, std::size_t count) {
  if (direction_ == Direction::Reading) return write(buffer, count);
  if (file_ == nullptr) return false;
  if (count == 0) return true;
  if (!flush()) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  for (std::size_t written = 0; written < count;) {
    const ssize_t n = ::write(fileno(file_), bytes + written, count - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EINTR) {
      recordError();
      return false;
    }
  }
  return true;
}

bool UnixDataFile::close() {
  if (file_ == nullptr) return false;
  const bool closed = std::fclose(file_) == 0;
  if (!closed) recordError();
  file_ = nullptr;
  return closed;
}

// A flush, like a seek, leaves no buffered bytes and lets the next call go
// either way.
bool UnixDataFile::flush() {
  if (file_ == nullptr) return false;
  direction_ = Direction::None;
  if (std::fflush(file_) == 0) return true;
  recordError();
  return false;
}

std::int64_t UnixDataFile::position() {
  if (file_ == nullptr) return 0;
  const off_t position = ftello(file_);
  if (position < 0) {
    recordError();
    return 0;
  }
  return position;
}

bool UnixDataFile::setPosition(std::int64_t position) {
  if (file_ == nullptr) return false;
  direction_ = Direction::None;
  if (fseeko(file_, position, SEEK_SET) == 0) return true;
  recordError();
  return false;
}

// The size the system reports, plus any buffered bytes written past it: those
// always end at the current position because every seek flushes them. This
// keeps the read buffer intact where seeking to the end would discard it.
std::int64_t UnixDataFile::length() {
  if (file_ == nullptr) return -1;
  struct stat status {};
  if (fstat(fileno(file_), &status) != 0) {
    recordError();
    return -1;
  }
  if (direction_ != Direction::Writing) return status.st_size;
  return std::max<std::int64_t>(status.st_size, position());
}

bool UnixDataFile::setLength(std::int64_t length) {
  if (file_ == nullptr) return false;
  flush();
  if (ftruncate(fileno(file_), length) == 0) return true;
  recordError();
  return false;
}

bool UnixDataFile::endOfFile() { return position() >= length(); }

}  // namespace rt::files
