// One open file over the C library's buffered files, owned by the stream
// object that holds it.
//
// Invariants:
//  - Offsets are 64-bit throughout, so files of 2 GiB and more keep their true
//    lengths and positions.
//  - error() holds errno of the last failed call; success never clears it.
//  - Without an open file every read reads nothing and every write fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace rt::files {

class UnixDataFile {
 public:
  // Open modes: reading only, or reading and writing without truncation.
  static constexpr int kModeRead = 1;
  static constexpr int kModeReadWrite = 3;

  UnixDataFile() = default;
  ~UnixDataFile();
  UnixDataFile(const UnixDataFile&) = delete;
  UnixDataFile& operator=(const UnixDataFile&) = delete;

  // Creates the file, or truncates it to 0 bytes, for reading and writing.
  bool create(const char* path);
  // Creates the file, or truncates it, readable and writable by its owner
  // only (mode 0600 whatever the umask) from the moment it exists. Anything
  // but a regular file is refused.
  bool createPrivate(const char* path);
  // Opens an existing file in kModeRead or kModeReadWrite.
  bool open(const char* path, int mode);
  // Opens an existing regular file (links followed) for reading. Anything
  // else, a FIFO or a device included, is refused without blocking.
  bool openRegular(const char* path);
  // Takes over a descriptor open for reading and writing; -1 stands for the
  // failed call that should have made it, whose errno is kept.
  bool adoptDescriptor(int fd);

  // True when countRead > 0 (or nothing was asked for) and no error occurred.
  bool read(void* buffer, std::size_t count, std::size_t& countRead);
  // True when every byte was written.
  bool write(const void* buffer, std::size_t count);
  // As read and write, but straight between buffer and the file descriptor
  // instead of through the C library's buffer, for large transfers; only
  // while the C library holds bytes read ahead do they go through it. The
  // position moves on by the bytes moved, as it does for the others.
  bool readDirect(void* buffer, std::size_t count, std::size_t& countRead);
  bool writeDirect(const void* buffer, std::size_t count);
  bool close();
  // False when buffered bytes could not be written.
  bool flush();

  // 0 when the position cannot be told.
  std::int64_t position();
  bool setPosition(std::int64_t position);
  // -1 when the length cannot be told.
  std::int64_t length();
  bool setLength(std::int64_t length);
  bool endOfFile();

  bool isOpen() const { return file_ != nullptr; }
  std::int32_t error() const { return error_; }

 private:
  enum class Direction { None, Reading, Writing };

  // Update streams need a positioning call between reading and writing.
  void turnTo(Direction direction);
  void recordError();

  std::int32_t error_ = 0;
  std::FILE* file_ = nullptr;
  Direction direction_ = Direction::None;
};

}  // namespace rt::files
