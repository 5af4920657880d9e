// Helpers shared by the class-library tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "objects/ObjectHandle.h"
#include "support/RuntimeFixture.h"

namespace classlib_test {

using ClasslibTest = rt::test::RuntimeTest;

// Takes and releases the pending exception; its class name, or "" when none was pending.
std::string takeExceptionName();

// The message of the pending exception (which stays pending), or "".
std::string pendingMessage();

// For a death-test child: caps the address space a little above what the
// process maps now, so that a large allocation fails instead of being granted
// lazily. AddressSanitizer maps terabytes of shadow, so sanitized builds skip
// the tests that need it.
void limitAddressSpace();

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSpaceCanBeLimited = false;
#else
inline constexpr bool kAddressSpaceCanBeLimited = true;
#endif

}  // namespace classlib_test
