// New content for a file, written beside it under a temporary name and put in
// its place only when every byte is written: a failed run, or one ended by a
// termination signal, leaves any older file as it was and no partial file.
#pragma once

#include <string>

#include "files/BinaryStream.h"
#include "files/FolderItem.h"

namespace rt {

class ReplacementFile {
 public:
  // Creates an empty temporary file in the folder of target (mode 0666 less
  // the umask, as a new file there would get). stream() is null when it
  // cannot be created, also when target is a folder.
  explicit ReplacementFile(const FolderItem& target);
  // Deletes the temporary file unless it was committed.
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  BinaryStream& stream() { return stream_; }

  // Closes the stream and renames the temporary file over the target. False,
  // with nothing replaced, when the close or the rename failed.
  [[nodiscard]] bool commit();

 private:
  class TemporaryPath;

  std::string target_;
  TemporaryPath* temporary_ = nullptr;  // owned; on the shutdown list until committed
  BinaryStream stream_;
};

}  // namespace rt
