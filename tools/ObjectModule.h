// Building the code, data, fixup and symbols parts of a module image from an
// ELF relocatable object.
//
// The executable sections form the code part, in section order. The data
// part holds the string-constant sections (named ".zkstrings", each constant
// a string block of the target's layout), then the other allocated sections
// (".bss" as zeros). Relocations of the code become fixups:
//   - a call (PC-relative, addend -4) to an undefined symbol: a runtime call
//     record of mode 1, one per name, its sites chained;
//   - a 32-bit absolute reference to an undefined symbol: a runtime call
//     record of mode 0 (the site receives the entry point's address);
//   - a 32-bit absolute reference into the object's own code, data or string
//     constants: a record of kind 3, 2 or 5, the site holding the offset;
//   - a PC-relative reference into the object's own code: resolved here.
// Anything else (relocations outside the code, 64-bit or GOT references,
// PC-relative references to data) throws std::runtime_error naming the
// relocation. The symbols part names the object's functions (STT_FUNC).
#pragma once

#include "ModuleImageWriter.h"

namespace vantor::tools {

struct ObjectModule {
  Bytes code;
  Bytes data;
  Bytes imports;
  Bytes symbols;
};

ObjectModule moduleFromObject(const Bytes& objectFile);

}  // namespace vantor::tools
