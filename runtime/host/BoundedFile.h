// Reads from a file at explicit offsets, refusing any read that would pass
// the end of the file as it was when opened. Only regular files open.
#pragma once

#include <cstdint>
#include <cstdio>

namespace rt::host {

class BoundedFile {
 public:
  explicit BoundedFile(const char* path);
  ~BoundedFile();
  BoundedFile(const BoundedFile&) = delete;
  BoundedFile& operator=(const BoundedFile&) = delete;

  bool isOpen() const { return file_ != nullptr; }
  std::uint64_t size() const { return size_; }

  // True when all n bytes at offset were read.
  bool readAt(std::uint64_t offset, void* into, std::uint64_t n);
  template <class Value>
  bool readValueAt(std::uint64_t offset, Value& value) {
    return readAt(offset, &value, sizeof value);
  }

 private:
  std::FILE* file_ = nullptr;
  std::uint64_t size_ = 0;
};

}  // namespace rt::host
