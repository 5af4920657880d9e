#include "host/PluginExtraction.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host/FailureReport.h"
#include "host/ShutdownList.h"
#include "host/TerminationSignals.h"

namespace rt::host {
namespace {

constexpr int kNameAttempts = 101;
constexpr int kUniqueCharacters = 7;

// Deletes the extracted files when the runtime shuts down, so a run leaves
// nothing behind. A file is listed from the moment it exists.
class ExtractedFiles : public ShutdownObject {
 public:
  void add(const std::string& path) { files_.push_back({path, -1, 0, 0}); }

  void setLockedDescriptor(const std::string& path, int descriptor) {
    struct stat status {};
    fstat(descriptor, &status);
    for (Entry& entry : files_) {
      if (entry.path != path) continue;
      entry.device = status.st_dev;
      entry.inode = status.st_ino;
      entry.lockedDescriptor = descriptor;
    }
  }

  ~ExtractedFiles() override {
    for (const Entry& entry : files_) {
      unlink(entry.path.c_str());
      // Daemonizing closes the descriptor, and its number may since have
      // been given to another file.
      struct stat status {};
      if (entry.lockedDescriptor >= 0 && fstat(entry.lockedDescriptor, &status) == 0 &&
          status.st_dev == entry.device && status.st_ino == entry.inode) {
        close(entry.lockedDescriptor);
      }
    }
    registered = nullptr;
  }

  static ExtractedFiles& instance() {
    if (registered == nullptr) registered = new ExtractedFiles;
    return *registered;
  }

 private:
  struct Entry {
    std::string path;
    int lockedDescriptor;  // -1 until the file is written and locked
    dev_t device;
    ino_t inode;
  };

  static inline ExtractedFiles* registered = nullptr;
  std::vector<Entry> files_;
};

bool isWritableFolder(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         access(path.c_str(), W_OK | X_OK) == 0;
}

std::string uniqueCharacters() {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string text;
  for (int i = 0; i < kUniqueCharacters; ++i) text += kAlphabet[pick(generator)];
  return text;
}

// Creates the file exclusively, so an existing file is never reused or
// replaced; -1 with the path of the last attempt when no name was free.
int createUniqueFile(const std::string& folder, const std::string& fileName, std::string& path) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    path = folder;
    path += '/';
    path += uniqueCharacters();
    path += '_';
    path += fileName;
    int descriptor = -1;
    int openError = 0;
    {
      // Listed before any signal can end the process.
      const TerminationSignalsBlocked blocked;
      descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0700);
      openError = errno;
      if (descriptor >= 0) ExtractedFiles::instance().add(path);
    }
    if (descriptor >= 0 || openError != EEXIST) return descriptor;
  }
  (void)std::fputs("Could not generate a unique filename for plugin.", stdout);
  (void)std::fflush(stdout);
  return -1;
}

bool writeAll(int descriptor, std::span<const unsigned char> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

const std::string& pluginFolder() {
  static const std::string folder = [] {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
      std::string candidate = std::string(home) + "/.tmpAppData";
      mkdir(candidate.c_str(), 0700);
      if (isWritableFolder(candidate)) return candidate;
    }
    return std::string("/tmp");
  }();
  return folder;
}

std::variant<ExtractedFile, std::string> extractPlugin(const std::string& fileName,
                                                        std::span<const unsigned char> library) {
  std::string path;
  const int output = createUniqueFile(pluginFolder(), fileName, path);
  if (output < 0) return std::string("Failed to construct a temporary path.");
  const bool written = writeAll(output, library);
  const bool closed = close(output) == 0;
  const int input = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (!written || !closed || input < 0) {
    const std::string error = "Failed to write " + path + ": " + std::strerror(errno);
    if (input >= 0) close(input);
    unlink(path.c_str());
    return error;
  }
  // The lock lasts as long as the process holds the file open.
  if (flock(input, LOCK_EX | LOCK_NB) != 0) {
    reportAssertion("../Common/plugin", __LINE__, "flock( fd, LOCK_EX | LOCK_NB ) == 0");
  }
  ExtractedFiles::instance().setLockedDescriptor(path, input);
  return ExtractedFile{path, input};
}

}  // namespace rt::host
