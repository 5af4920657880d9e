#include "files/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>

#include "files/FileObjects.h"
#include "files/UnixDataFile.h"
#include "host/ShutdownList.h"
#include "host/TerminationSignals.h"

namespace rt {
namespace {

constexpr int kNameAttempts = 100;
// Set-user-ID and the like are not carried over to new content.
constexpr mode_t kPermissionBits = 0777;

// A name no other run picks at the same time: the process id, the clock and
// a counter, in letters and digits. The target's own name is part of it
// unless that makes it too long for the file system; then it is left out.
std::string temporaryName(const std::string& folder, const std::string& leaf, bool shortName) {
  static unsigned counter = 0;
  constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  unsigned long long mix = static_cast<unsigned long long>(getpid()) * 0x9E3779B97F4A7C15ull ^
                           static_cast<unsigned long long>(now.tv_nsec) ^
                           (++counter * 0xBF58476D1CE4E5B9ull);
  std::string name = folder + "." + (shortName ? std::string() : leaf + ".");
  for (int i = 0; i < 8; ++i, mix /= 36) name += kDigits[mix % 36];
  return name + ".part";
}

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

}  // namespace

// Deleted with the shutdown list, so a termination signal removes the file.
class ReplacementFile::TemporaryPath : public host::ShutdownObject {
 public:
  explicit TemporaryPath(std::string path) : path_(std::move(path)) {}
  ~TemporaryPath() override {
    if (!renamed_) unlink(path_.c_str());
  }
  const std::string& path() const { return path_; }
  void markRenamed() { renamed_ = true; }

 private:
  std::string path_;
  bool renamed_ = false;
};

ReplacementFile::ReplacementFile(const FolderItem& target, Permissions permissions) {
  if (!target || target.isDirectory()) return;
  target_ = target.absolutePath().str();
  struct stat status {};
  const bool exists = stat(target_.c_str(), &status) == 0;
  const bool regular = exists && S_ISREG(status.st_mode);
  const Replaced older{status.st_uid, status.st_gid, status.st_mode & kPermissionBits};
  if (exists && !regular && permissions == Permissions::Inherited) {
    writeInPlace();
  } else {
    createTemporary(permissions, regular ? &older : nullptr);
  }
}

ReplacementFile::~ReplacementFile() {
  if (stream_) stream_.close();
  discardTemporary();
}

void ReplacementFile::writeInPlace() {
  auto file = std::make_unique<files::UnixDataFile>();
  if (file->create(target_.c_str()))
    stream_ = BinaryStream(Object::adopt(files::newBinaryStream(std::move(file))));
}

// Created narrow (0600) unless it is new and shared, and only then given
// wider bits, so nobody can open it in between.
void ReplacementFile::createTemporary(Permissions permissions, const Replaced* older) {
  const mode_t createMode = permissions == Permissions::Inherited && older == nullptr ? 0666 : 0600;
  const std::string folder = folderOf(target_);
  const std::string leaf = target_.substr(folder.size());
  bool shortName = false;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string path = temporaryName(folder, leaf, shortName);
    int fd = -1;
    int openError = 0;
    {
      // The file is on the shutdown list before any signal can end the run.
      const host::TerminationSignalsBlocked blocked;
      fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
      openError = errno;
      if (fd >= 0) temporary_ = new TemporaryPath(path);
    }
    if (fd >= 0) {
      // A replacement takes the older file's owner where the system allows it.
      if (permissions == Permissions::Private) {
        (void)fchmod(fd, 0600);
      } else if (older != nullptr) {
        (void)fchown(fd, older->owner, older->group);
        (void)fchmod(fd, older->mode);
      }
      auto file = std::make_unique<files::UnixDataFile>();
      if (file->adoptDescriptor(fd))
        stream_ = BinaryStream(Object::adopt(files::newBinaryStream(std::move(file))));
      return;
    }
    if (openError == ENAMETOOLONG && !shortName) {
      shortName = true;
    } else if (openError != EEXIST) {
      return;
    }
  }
}

// Signals are held back while the object leaves the list, so the handler
// never deletes it a second time.
void ReplacementFile::discardTemporary() {
  const host::TerminationSignalsBlocked blocked;
  delete temporary_;
  temporary_ = nullptr;
}

bool ReplacementFile::commit() {
  if (!stream_) return false;
  // The close writes out what is buffered; no success clears the error code,
  // so a failure of any earlier write shows in it too.
  stream_.close();
  if (stream_.lastErrorCode() != 0) return false;
  if (temporary_ == nullptr) return true;
  const host::TerminationSignalsBlocked blocked;
  if (std::rename(temporary_->path().c_str(), target_.c_str()) != 0) return false;
  temporary_->markRenamed();
  discardTemporary();
  return true;
}

}  // namespace rt
