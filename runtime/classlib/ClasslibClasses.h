// The class library's built-in classes: boxed values, Dictionary, MemoryBlock
// and _Blowfish.
#pragma once

namespace rt::classlib {

// Makes every class-library class known by name (RuntimeLookupClass); part of
// the start-up registration of built-in classes.
void registerClasslibClasses();

}  // namespace rt::classlib
