// The application class App: a ConsoleApplication whose Run event is the
// command session and whose methods are the tool's operations.
#pragma once

#include "objects/ObjectModel.h"

namespace vantor::app {

// Registers App (the module's first class) and returns its record.
ClassRecord* registerAppClass();
// The record registerAppClass made.
ClassRecord* appClass();

}  // namespace vantor::app
