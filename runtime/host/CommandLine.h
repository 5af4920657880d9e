// The process's command line as start-up recorded it.
#pragma once

#include <string>

namespace rt::host {

void setCommandLine(int argc, char** argv);
int argumentCount();
char** arguments();

// The folder that holds the executable (argv[0] as start-up left it), without
// a trailing "/"; relative names are resolved against the current directory.
std::string applicationFolder();

}  // namespace rt::host
