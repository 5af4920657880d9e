#include "files/FolderItemImpUnix.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/ApplicationFolder.h"
#include "files/CommandRunner.h"
#include "files/WriteProbe.h"

namespace rt::files {
namespace {

std::string parentOf(std::string_view path) {
  if (path.size() > 1 && path.ends_with('/')) path.remove_suffix(1);
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

bool isFolder(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isLink(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// The whole link target, however long.
bool readLinkTarget(const std::string& link, std::string& target) {
  std::vector<char> buffer(1024);
  for (;;) {
    const ssize_t length = readlink(link.c_str(), buffer.data(), buffer.size());
    if (length < 0) return false;
    if (static_cast<std::size_t>(length) < buffer.size()) {
      target.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::unique_ptr<FolderItemImpUnix> FolderItemImpUnix::make(std::string_view path) {
  std::string absolute =
      path.starts_with('/') ? std::string(path) : applicationFolder() + "/" + std::string(path);
  struct stat status {};
  if (stat(absolute.c_str(), &status) != 0) {
    if (errno != ENOENT) return nullptr;
  } else if (S_ISDIR(status.st_mode) && !absolute.ends_with('/')) {
    absolute += '/';
  }
  return std::unique_ptr<FolderItemImpUnix>(new FolderItemImpUnix(std::move(absolute)));
}

std::unique_ptr<FolderItemImpUnix> FolderItemImpUnix::resolve(std::string_view path) {
  std::unique_ptr<FolderItemImpUnix> item = make(path);
  if (item == nullptr) return nullptr;
  std::unique_ptr<FolderItemImpUnix> target = item->followAlias();
  return target != nullptr ? std::move(target) : std::move(item);
}

// A target that cannot be read or named leaves the item on the link itself.
// Like every relative name, a relative target resolves against the
// application folder.
std::unique_ptr<FolderItemImpUnix> FolderItemImpUnix::followAlias() {
  const std::string link = withoutTrailingSlash();
  std::string target;
  if (!isLink(link) || !readLinkTarget(link, target)) return nullptr;
  return make(target);
}

bool FolderItemImpUnix::succeeded(int result) {
  if (result == 0) return true;
  lastError_ = errno;
  return false;
}

// The trailing "/" of a folder path makes lstat look through a link.
std::string FolderItemImpUnix::withoutTrailingSlash() const {
  if (path_.size() > 1 && path_.ends_with('/')) return path_.substr(0, path_.size() - 1);
  return path_;
}

bool FolderItemImpUnix::exists() { return succeeded(access(path_.c_str(), F_OK)); }

bool FolderItemImpUnix::directory() {
  struct stat status {};
  return succeeded(stat(path_.c_str(), &status)) && S_ISDIR(status.st_mode);
}

bool FolderItemImpUnix::alias() {
  struct stat status {};
  return succeeded(lstat(withoutTrailingSlash().c_str(), &status)) && S_ISLNK(status.st_mode);
}

std::uint64_t FolderItemImpUnix::length() {
  struct stat status {};
  if (!succeeded(stat(path_.c_str(), &status))) return 0;
  return static_cast<std::uint64_t>(status.st_size);
}

std::string FolderItemImpUnix::name() const {
  if (path_ == "/") return path_;
  const std::string path = withoutTrailingSlash();
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

void FolderItemImpUnix::setName(std::string_view name) {
  std::string renamed = parentOf(path_) + std::string(name);
  if (access(path_.c_str(), F_OK) == 0 && !succeeded(std::rename(path_.c_str(), renamed.c_str()))) {
    return;
  }
  path_ = std::move(renamed);
}

// Where access() says no, opening decides: it judges by the effective user.
bool FolderItemImpUnix::isReadable() {
  if (access(path_.c_str(), R_OK) == 0) return true;
  if (isFolder(path_)) {
    DIR* folder = opendir(path_.c_str());
    if (folder == nullptr) return succeeded(-1);
    closedir(folder);
    return true;
  }
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return succeeded(-1);
  ::close(fd);
  return true;
}

bool FolderItemImpUnix::isWriteable() {
  if (access(path_.c_str(), W_OK) == 0) return true;
  int error = 0;
  bool writeable = false;
  if (isFolder(path_)) {
    writeable = probeFolderWrite(path_, error);
  } else if (access(path_.c_str(), F_OK) == 0) {
    writeable = probeFileWrite(path_, error);
  } else {
    writeable = probeFolderWrite(parentOf(path_), error);
  }
  if (!writeable) lastError_ = error;
  return writeable;
}

void FolderItemImpUnix::remove() {
  if (isFolder(path_)) {
    succeeded(rmdir(path_.c_str()));
  } else {
    succeeded(std::remove(path_.c_str()));
  }
}

void FolderItemImpUnix::createAsFolder() {
  const bool made = succeeded(mkdir(path_.c_str(), 0777));
  if (!path_.ends_with('/') && (made || isFolder(path_))) path_ += '/';
}

// "--" keeps cp and mv from taking any path for options.
void FolderItemImpUnix::copyFileTo(const FolderItemImpUnix& destination) {
  const int error = runCommand({"cp", "--", path_.c_str(), destination.path_.c_str()});
  if (error != 0) lastError_ = error;
}

void FolderItemImpUnix::moveFileTo(const FolderItemImpUnix& destination) {
  const int error = runCommand({"mv", "-f", "--", path_.c_str(), destination.path_.c_str()});
  if (error != 0) lastError_ = error;
}

std::unique_ptr<UnixDataFile> FolderItemImpUnix::createFile() {
  if (locked()) return nullptr;
  auto file = std::make_unique<UnixDataFile>();
  if (file->create(withoutTrailingSlash().c_str())) return file;
  lastError_ = file->error();
  return nullptr;
}

std::unique_ptr<UnixDataFile> FolderItemImpUnix::createPrivateFile() {
  auto file = std::make_unique<UnixDataFile>();
  if (file->createPrivate(withoutTrailingSlash().c_str())) return file;
  lastError_ = file->error();
  return nullptr;
}

bool FolderItemImpUnix::sameFileAs(const FolderItemImpUnix& other) const {
  struct stat mine {};
  struct stat theirs {};
  return stat(path_.c_str(), &mine) == 0 && stat(other.path_.c_str(), &theirs) == 0 &&
         mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino;
}

std::unique_ptr<UnixDataFile> FolderItemImpUnix::openFile(int mode) {
  auto file = std::make_unique<UnixDataFile>();
  if (file->open(path_.c_str(), mode)) return file;
  lastError_ = file->error();
  return nullptr;
}

std::unique_ptr<UnixDataFile> FolderItemImpUnix::openRegularFile() {
  auto file = std::make_unique<UnixDataFile>();
  if (file->openRegular(path_.c_str())) return file;
  lastError_ = file->error();
  return nullptr;
}

std::optional<std::vector<std::string>> FolderItemImpUnix::childNames() {
  dirent** entries = nullptr;
  const int count = scandir(path_.c_str(), &entries, nullptr, alphasort);
  if (count < 0) {
    succeeded(-1);
    return std::nullopt;
  }
  std::vector<std::string> names;
  // With nothing to list the system may hand back no array at all.
  for (int i = 0; entries != nullptr && i < count; ++i) {
    const std::string_view name = entries[i]->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
    std::free(entries[i]);
  }
  std::free(entries);
  return names;
}

}  // namespace rt::files
