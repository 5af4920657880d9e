// The hash of a dictionary key.
#pragma once

#include <cstdint>
#include <optional>

#include "objects/ObjectModel.h"

namespace rt::classlib {

// Nil hashes to 0; a key whose class has an Operator_Hash method hashes to
// its result; a Date to the fold of its TotalSeconds; any other object to the
// fold of its reference. Empty when the hash method raised an exception, which
// is then pending.
std::optional<std::uint32_t> hashOfKey(RTObject* key);

}  // namespace rt::classlib
