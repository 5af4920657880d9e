// Operating system commands, run by the Shell class of the shell plugin
// through the plugin's entry points, as compiled code calls them.
#pragma once

#include <span>

#include "objects/ObjectHandle.h"
#include "text/StringHandle.h"

namespace vantor::app {

// The names of the plugin entry points the application uses, in the order of
// its plugin entry table.
std::span<const char* const> shellEntryNames();
// Where the module keeps the entry table the runtime builds.
void*** shellEntryTable();

class Shell {
 public:
  // A new Shell object of the plugin's class.
  Shell();
  // Runs command with /bin/bash and returns its output.
  rt::String execute(const rt::String& command);

 private:
  rt::Object shell_;
};

}  // namespace vantor::app
