// Child processes running a command line through /bin/bash.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vantor::shell {

struct Child {
  pid_t pid;
  int outputDescriptor;  // the parent's end: pipe read end or pseudo-terminal master
};

// Starts bash with its standard output and error merged into a pipe;
// nothing when no pipe or process can be made.
std::optional<Child> startPiped(const std::string& commandLine);
// Starts bash on a new pseudo-terminal without canonical input or echo.
std::optional<Child> startOnPseudoTerminal(const std::string& commandLine);

// Reads the descriptor in chunks until end of file or an error.
std::string readToEnd(int descriptor);
// Writes all bytes unless a write fails.
void writeAll(int descriptor, const char* bytes, std::size_t count);

// Waits for the child: its exit status, or errno when the wait fails.
int32_t waitForExitStatus(pid_t pid);
// The exit status if the child has ended (0 while it runs), or errno when the
// wait fails. A child still running is reaped later by reapEndedChildren.
int32_t reapWithoutBlocking(pid_t pid);
// Reaps the children that reapWithoutBlocking left running and that have ended since.
void reapEndedChildren();

}  // namespace vantor::shell
