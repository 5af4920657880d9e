// The comparison of two variants, which decides when two dictionary keys are
// the same key.
//
// Rules, in order:
//  - The same reference (nil and nil included) is equal.
//  - Variants of different kinds are never equal; they order by kind: nil,
//    numbers, Booleans, colours, strings, dates, other objects.
//  - Numbers compare by value whatever their boxed types, exactly (Int64 2^53
//    + 1 is not the Double 2^53). A NaN equals a NaN and sorts before every
//    other number.
//  - Booleans: false before true. Colours: by their 32-bit value.
//  - Strings: the language's comparison, which ignores letter case.
//  - Dates: by TotalSeconds.
//  - Other objects are equal only to themselves and order by address.
#pragma once

#include <cstdint>

#include "objects/ObjectModel.h"

namespace rt::classlib {

// -1, 0 or 1 as a sorts before, equal to or after b. Borrows both.
std::int32_t compareVariants(RTObject* a, RTObject* b);

}  // namespace rt::classlib
