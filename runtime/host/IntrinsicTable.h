// The intrinsic function table: every runtime entry point that compiled code
// or a plugin can bind to, by name. The static part is assembled once from the
// subsystems' fragments; registration appends to a dynamic extension. Index i
// below staticCount() selects a static entry, later indexes dynamic ones.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "host/IntrinsicEntry.h"

namespace rt::intrinsics {

std::size_t staticCount();
// All entries, static then dynamic.
std::size_t count();
const IntrinsicEntry& at(std::size_t index);

// The entry point registered under exactly this name, or null.
void* lookup(std::string_view name);

// The first entry, by index, whose name equals name ignoring ASCII case (the
// rule imports are bound by), or null.
const IntrinsicEntry* findIgnoringCase(const char* name);

// Adds name to the dynamic extension. An existing name keeps its entry; a
// different entry point for it is reported.
void registerFunction(const char* name, void* entryPoint);

// The subsystems' fragments of the static part.
std::span<const IntrinsicEntry> textFunctions();
std::span<const IntrinsicEntry> objectFunctions();
std::span<const IntrinsicEntry> arrayFunctions();
std::span<const IntrinsicEntry> numberFunctions();
std::span<const IntrinsicEntry> dateFunctions();
std::span<const IntrinsicEntry> fileFunctions();
std::span<const IntrinsicEntry> consoleFunctions();
std::span<const IntrinsicEntry> hostFunctions();
std::span<const IntrinsicEntry> classlibFunctions();

}  // namespace rt::intrinsics
