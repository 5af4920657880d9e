// The one application object and the flags that carry the program from Run
// to its end.
#pragma once

#include <cstdint>

#include "objects/ObjectModel.h"

namespace rt::host {

struct ApplicationState {
  RTObject* app = nullptr;  // counted
  std::int32_t lastExitCode = 0;
  bool runStarted = false;
  bool insideRun = false;
  bool quitting = false;  // set by every quit; Run's result no longer counts
  bool quitDone = false;  // set by the first quit; later ones return at once
  bool quitRequested = false;  // the program is ending: later unhandled exceptions are silent
  bool inUnhandledHandler = false;
};

ApplicationState& application();

// Drops the process's reference to the application object.
void releaseApplication();

}  // namespace rt::host
