// Running a shell command for its output, as the date names need it.
#pragma once

#include <string>

namespace rt::dates {

// Runs command with /bin/sh and returns what it wrote to standard output and
// standard error, or nothing when it could not run or exited unsuccessfully.
std::string commandOutput(const char* command);

}  // namespace rt::dates
