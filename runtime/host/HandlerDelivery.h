// Delivering exceptions to the handler markers of loaded code.
//
// A raise in the runtime leaves the exception pending and the runtime
// functions finish; the return from the runtime into loaded code is where the
// exception reaches the loaded code. So each raise walks the frame chain from
// the raising frame up to the first return address inside loaded code and
// replaces it with a return into the runtime. When that return is taken and
// an exception is still pending, the frame chain of the loaded code is
// searched for a handler marker after each return address: the exception is
// stored in the handler's variable and the handler entered, at once when it
// serves the function that called the runtime, otherwise by replacing the
// return address of the frame it serves, so the functions in between run to
// their end first. Return addresses outside loaded code end the search: the
// exception stays pending for the runtime function that called the loaded
// code, and the next return into loaded code above it delivers it again.
//
// The walks rely on frame pointers: compiled code and the runtime keep the
// saved frame pointer at [F] and the return address next to it, at
// [F + pointer size].
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace rt::host {

// Makes the next return into loaded code above frame deliver the pending
// exception; nothing when no loaded code is above it.
void armLoadedCodeReturn(std::uintptr_t frame);

// The names the symbols part gives the loaded functions on the frame chain
// above frame, innermost first.
std::vector<std::string_view> loadedFunctionNames(std::uintptr_t frame);

}  // namespace rt::host
