// The key the cipher benchmarks run on.
#pragma once

#include "cipher/Cipher.h"

namespace vantor::bench {

// A key as createsys makes them: permutations, periods and steps of 1 to 11,
// the same at every run.
cipher::Key regularKey();

}  // namespace vantor::bench
