// The process entry of a Vantor executable.
#pragma once

namespace rt::host {

// The module routine built into the executable, entered when the module image
// carries no code.
using BuiltinEntry = void (*)();

// Runs start-up, loads and enters the module, and ends it; returns the process
// status (always 0: the application's exit code does not become the status).
int runMain(int argc, char** argv, BuiltinEntry entry);

// The routine registered by runMain (null before).
BuiltinEntry builtinEntry();

}  // namespace rt::host
