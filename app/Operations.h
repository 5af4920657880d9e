// The operations of the application class App and the module's functions.
// The command operations take no arguments: they read the current command
// line from the module globals and call getParameters to split it.
#pragma once

#include <cstdint>

#include "objects/ArrayHandle.h"
#include "text/StringHandle.h"

namespace vantor::app {

// The command session: start-up, then one command a line until end, exit or
// quit (or the end of standard input). The argument --version or --help
// (args holds the program path first) prints its text and ends at once.
std::int32_t run(const rt::Array& args);
void getCmd();
void getParameters();
void showHelp();

void createSys();
void encrypt();
void decrypt();

// progress 1 prints progress and completion, 0 is silent (scripts).
void killSys(std::int32_t progress);
void restoreSys();
void transferSys();
void transKill();
// display 1 prints the statistics, 0 only loads the entry counts.
void systemData(std::int32_t display);

void runScript();
// 1 when the script named by Param(1) failed verification, else 0.
std::int32_t verifyScript();
// Loads the entry counts of the key system in folder (ending in "/").
void getSystemData(const rt::String& folder);

// The module functions of the cipher: load the chosen key into the globals
// (false, reported, when a key file cannot be read), build the expansion
// schedule from its seeds, and advance the loaded tables by one byte.
[[nodiscard]] bool loadSystemData();
[[nodiscard]] bool loadComponent1();
void buildExpansionSchedule();
void rotateTables();

}  // namespace vantor::app
