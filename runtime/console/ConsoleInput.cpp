#include "console/ConsoleInput.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "text/Encodings.h"
#include "text/StringStorage.h"

namespace rt::console {
namespace {

constexpr int kLineFeed = 0x0A;
constexpr int kCarriageReturn = 0x0D;
// fgetc's end-of-file value truncated to a byte; genuine 0xFF bytes share it.
constexpr int kDroppedByte = 0xFF;

// 0 means no byte is pending.
unsigned char pendingByte = 0;

void takePendingByte(std::string& line) {
  if (pendingByte != 0) line += static_cast<char>(pendingByte);
  pendingByte = 0;
}

void setNonBlocking(bool on) {
  const int flags = fcntl(STDIN_FILENO, F_GETFL);
  if (flags == -1) return;
  fcntl(STDIN_FILENO, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK));
}

// After a carriage return, looks at one more byte if one is available right
// now: a line feed completes the line end, any other byte waits for the next
// read.
void consumeAfterCarriageReturn() {
  setNonBlocking(true);
  errno = 0;
  const int next = std::fgetc(stdin);
  const bool wouldBlock = next == EOF && (errno == EAGAIN || errno == EWOULDBLOCK);
  setNonBlocking(false);
  // Nothing available is not a read error: clear the indication the probe
  // left so ReadError reports only real failures.
  if (wouldBlock && !std::feof(stdin)) std::clearerr(stdin);
  if (next == EOF || next == kLineFeed) return;
  pendingByte = static_cast<unsigned char>(next);
}

RTString asciiString(const std::string& bytes) {
  return text::makeString(bytes.data(), bytes.size(), kEncodingASCII);
}

}  // namespace

RTString readInputLine() {
  std::string line;
  takePendingByte(line);
  while (!std::feof(stdin)) {
    const int byte = std::fgetc(stdin);
    if (byte == kLineFeed || byte == 0) {
      pendingByte = 0;
      break;
    }
    if (byte == kCarriageReturn) {
      consumeAfterCarriageReturn();
      break;
    }
    // A read error would otherwise repeat forever: the line ends there.
    if (byte == EOF && std::ferror(stdin)) break;
    if (byte == EOF || byte == kDroppedByte) continue;
    line += static_cast<char>(byte);
  }
  return asciiString(line);
}

RTString readInputBytes(std::int32_t count) {
  std::string bytes;
  takePendingByte(bytes);
  for (std::int32_t read = 0; count < 1 || read < count; ++read) {
    const int byte = std::fgetc(stdin);
    if (byte == EOF) break;
    bytes += static_cast<char>(byte);
  }
  return asciiString(bytes);
}

}  // namespace rt::console
