#include "files/ReplacementFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>

#include "files/FileObjects.h"
#include "files/UnixDataFile.h"
#include "host/ShutdownList.h"

namespace rt {
namespace {

constexpr int kNameAttempts = 100;

// A name no other run picks at the same time: the process id, the clock and
// a counter, in letters and digits.
std::string temporaryName(const std::string& folder, const std::string& leaf) {
  static unsigned counter = 0;
  constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  unsigned long long mix = static_cast<unsigned long long>(getpid()) * 0x9E3779B97F4A7C15ull ^
                           static_cast<unsigned long long>(now.tv_nsec) ^
                           (++counter * 0xBF58476D1CE4E5B9ull);
  std::string name = folder + "." + leaf + ".";
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

ReplacementFile::ReplacementFile(const FolderItem& target) {
  if (!target || target.isDirectory()) return;
  target_ = target.absolutePath().str();
  const std::string folder = folderOf(target_);
  const std::string leaf = target_.substr(folder.size());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    auto file = std::make_unique<files::UnixDataFile>();
    const std::string path = temporaryName(folder, leaf);
    if (file->createNew(path.c_str())) {
      temporary_ = new TemporaryPath(path);
      stream_ = BinaryStream(Object::adopt(files::newBinaryStream(std::move(file))));
      return;
    }
    if (file->error() != EEXIST) return;
  }
}

ReplacementFile::~ReplacementFile() {
  if (stream_) stream_.close();
  delete temporary_;
}

bool ReplacementFile::commit() {
  if (!stream_ || temporary_ == nullptr) return false;
  // The close writes out what is buffered; no success clears the error code,
  // so a failure of any earlier write shows in it too.
  stream_.close();
  if (stream_.lastErrorCode() != 0) return false;
  if (std::rename(temporary_->path().c_str(), target_.c_str()) != 0) return false;
  temporary_->markRenamed();
  delete temporary_;
  temporary_ = nullptr;
  return true;
}

}  // namespace rt
