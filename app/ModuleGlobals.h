// The module globals of the application: the command line and its
// parameters, the entry counts of the key system, the script flag and the
// loaded key. All are created before Run starts and shared by every
// operation of App.
#pragma once

#include <cstdint>

#include "objects/ArrayHandle.h"
#include "text/StringHandle.h"

namespace vantor::app {

inline constexpr std::int32_t kParamUpperBound = 5;
inline constexpr std::int32_t kTableUpperBound = 20;
inline constexpr std::int32_t kScheduleUpperBound = 20000;

struct ModuleGlobals {
  // The current command line, and its parameters at indices 1 to 5 (index 0
  // is never used); ParamCount is the number of blanks counted in it.
  rt::String cmd;
  rt::Array param;
  std::int32_t paramCount = 0;
  // The bytes 0 to 255 in order.
  rt::String charTable;
  // Entry counts of the key system's three components; 0 without one.
  std::int32_t comp1Entries = 0;
  std::int32_t comp2Entries = 0;
  std::int32_t comp3Entries = 0;
  // 1 while a script runs: operations then leave out progress and completion.
  std::int32_t scriptMode = 0;

  // The loaded key, indices 1 to 20 (one per table).
  rt::Array tableLine;
  rt::Array rotateDir;
  rt::Array periodA;
  rt::Array periodB;
  rt::Array rotateStep;
  rt::Array stepCount;
  rt::Array phase;
  rt::Array cipherTable;
  // Filler counts E(1) to E(20000); 1 to 10 hold the seeds until the
  // schedule is built.
  rt::Array expansionSchedule;
  std::int32_t expansionOn = 0;
};

// Creates the globals (the module does this once, before Run).
void createModuleGlobals();
// Releases them (at the end of the module, and between tests).
void releaseModuleGlobals();
ModuleGlobals& globals();

// Param(index) of the current command line.
rt::String param(std::int32_t index);
// Whether a script is running (ScriptMode is 1).
bool inScript();

}  // namespace vantor::app
