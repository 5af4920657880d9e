// The process's command line as start-up recorded it.
#pragma once

#include <string>

namespace rt::host {

void setCommandLine(int argc, char** argv);
int argumentCount();
char** arguments();

// The path of the executable: argv[0] as start-up left it, a relative one
// joined to the directory the process started in ("." and ".." are kept).
std::string executablePath();

// The folder part of executablePath(), without a trailing "/".
std::string applicationFolder();

}  // namespace rt::host
