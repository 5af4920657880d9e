// Runs an operating system command from an argument vector, without a shell,
// so no byte of an argument can start anything else.
#pragma once

#include <initializer_list>
#include <string>

namespace rt::files {

// Runs the program (found on the search path) with the arguments and waits
// for it. Returns 0 when it exits with status 0, else an errno value: the
// reason it could not be started or waited for, or EIO when it failed.
int runCommand(std::initializer_list<const char*> arguments);

}  // namespace rt::files
