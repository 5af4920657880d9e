#include "console/ConsoleInput.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "console/LineEditor.h"
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
// The line editor reads the terminal itself, so stdin's end-of-file
// indicator never learns of a Ctrl-D: the end is kept here.
bool editedInputEnded = false;

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

// A typed line keeps to the rules of piped input: a NUL byte ends it and
// 0xFF bytes are dropped.
void appendTyped(std::string& line, const std::string& typed) {
  for (const char c : typed) {
    if (c == '\0') break;
    if (static_cast<unsigned char>(c) != kDroppedByte) line += c;
  }
}

RTString readEditedInputLine(std::string& line) {
  if (!editedInputEnded) {
    const std::optional<std::string> typed = readEditedLine();
    if (typed) appendTyped(line, *typed);
    else editedInputEnded = true;
  }
  return asciiString(line);
}

}  // namespace

RTString readInputLine() {
  std::string line;
  takePendingByte(line);
  if (lineEditingActive()) return readEditedInputLine(line);
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

bool inputAtEnd() { return editedInputEnded || std::feof(stdin) != 0; }

RTString readInputBytes(std::int32_t count) {
  std::string bytes;
  takePendingByte(bytes);
  if (editedInputEnded) return asciiString(bytes);
  for (std::int32_t read = 0; count < 1 || read < count; ++read) {
    const int byte = std::fgetc(stdin);
    if (byte == EOF) break;
    bytes += static_cast<char>(byte);
  }
  return asciiString(bytes);
}

}  // namespace rt::console
