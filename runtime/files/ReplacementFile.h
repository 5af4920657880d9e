// New content for a file. A regular file, or a new one, is written beside
// its place under a temporary name and put there only when every byte is
// written: a failed run, or one ended by a termination signal, leaves any
// older file as it was and no partial file. A target that exists but is no
// regular file (a FIFO, a device) is written in place, as before the tool
// wrote whole files only: renaming over it would put a plain file where the
// system or another program expects something else.
#pragma once

#include <sys/types.h>

#include <string>

#include "files/BinaryStream.h"
#include "files/FolderItem.h"

namespace rt {

class ReplacementFile {
 public:
  enum class Permissions {
    // The older file's owner and permission bits; for a new file 0666 less
    // the umask, as any new file there would get.
    Inherited,
    // Owner only (0600) whatever the umask, from the moment the file exists.
    // Such a file is always replaced by a regular one.
    Private,
  };

  // stream() is null when the file cannot be created, also when target is a
  // folder.
  explicit ReplacementFile(const FolderItem& target,
                           Permissions permissions = Permissions::Inherited);
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

  void writeInPlace();
  // The owner and permission bits of the regular file being replaced.
  struct Replaced {
    uid_t owner;
    gid_t group;
    mode_t mode;
  };

  void createTemporary(Permissions permissions, const Replaced* older);
  void discardTemporary();

  std::string target_;
  TemporaryPath* temporary_ = nullptr;  // owned; on the shutdown list until committed
  BinaryStream stream_;
};

}  // namespace rt
