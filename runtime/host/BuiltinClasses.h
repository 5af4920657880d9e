// The central list of the runtime's built-in class definitions.
#pragma once

namespace rt::host {

// Registers every built-in class definition with the class registry.
void registerBuiltinClasses();

}  // namespace rt::host
