// Linking a module's code: applying the fixup records of its import part to
// the code placed in memory.
//
// Every site is checked against the code part and every offset a site holds
// against the part it points into, so nothing is written outside the code
// part and the string constants of the data part. Failures are reported and
// linking goes on with the next record; the sites concerned stay as they are.
#pragma once

#include <span>
#include <vector>

#include "host/FixupRecords.h"
#include "host/ModuleMemory.h"

namespace rt::host {

// Thunks a link may need: one per call record at most.
std::size_t thunksNeeded(const std::vector<FixupRecord>& records);

// Runtime calls bind to the intrinsic function table (names matched ignoring
// case, the lowest index first); library calls to the functions of shared
// libraries, opened once per library name.
void linkFixups(const std::vector<FixupRecord>& records, ModuleMemory& memory);

}  // namespace rt::host
