// rt::FolderItem, the counted C++ handle on a folder item that the
// application uses. Operating system failures do not throw: they show in the
// results and in lastErrorCode(). Runtime exceptions (a null handle, a null
// destination) throw rt::Exception.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "files/BinaryStream.h"
#include "files/TextInputStream.h"
#include "files/TextOutputStream.h"
#include "objects/ObjectHandle.h"
#include "text/StringHandle.h"

namespace rt {

class FolderItem {
 public:
  FolderItem() = default;
  explicit FolderItem(Object item) : item_(std::move(item)) {}

  // The item for a path; relative names resolve against the application
  // folder. Null when the path cannot name an item.
  static FolderItem get(const String& path, std::int32_t pathType = 0);

  explicit operator bool() const { return static_cast<bool>(item_); }
  const Object& object() const { return item_; }

  bool exists() const;
  bool isDirectory() const;
  bool isAlias() const;
  std::uint64_t length() const;
  String name() const;
  // Renames the item in place (a missing item only changes its path).
  void setName(const String& name);
  String absolutePath() const;
  bool isReadable() const;
  bool isWriteable() const;
  bool locked() const;
  std::int32_t lastErrorCode() const;

  // Deletes a file or an empty folder.
  void remove();
  void createAsFolder();
  // Copies or moves the file, replacing a file at the destination or going
  // into it when it is a folder.
  void copyFileTo(const FolderItem& destination);
  void moveFileTo(const FolderItem& destination);

  // Whether both name one existing file (same device and inode), also under
  // different paths or through links.
  bool isSameFile(const FolderItem& other) const;

  // Streams are null when the file cannot be made or opened.
  BinaryStream createBinaryFile(const String& type = String());
  BinaryStream openAsBinaryFile(bool write);
  TextOutputStream createTextFile();
  // Like createTextFile, but readable and writable by the owner only (mode
  // 0600 whatever the umask) from the moment the file exists, and only for a
  // regular file: a FIFO or a device gives null.
  TextOutputStream createPrivateTextFile();
  TextOutputStream appendToTextFile();
  TextInputStream openAsTextFile();
  // Like openAsTextFile and openAsBinaryFile(false), for a regular file
  // (links followed) only: a FIFO, a device or a folder gives null at once
  // instead of a stream that could block or never end.
  TextInputStream openRegularTextFile();
  BinaryStream openRegularBinaryFile();

  // The names of the items in the folder, in no particular order; nothing
  // when the folder cannot be read.
  std::optional<std::vector<String>> childNames() const;

 private:
  Object item_;
};

}  // namespace rt
