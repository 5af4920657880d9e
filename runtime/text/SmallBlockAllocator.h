// The allocator for string blocks, arrays, objects and other small runtime blocks.
//
// Requests of up to 252 bytes come from 64 size-class free lists (multiples of
// 4 bytes) refilled from 8192-byte chunks; chunk memory is never given back.
// Every block is aligned for the pointers and 64-bit numbers that blocks hold.
// Larger requests go to the system heap. A running total of the bytes handed
// out is kept: tests use it to prove that nothing leaks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rt::memory {

// Returns a block of n bytes, or null for n == 0. When the system heap fails
// and mayFail is false, the process reports that it ran out of memory and
// exits with status 0; with mayFail true the result is null.
[[nodiscard]] void* allocate(std::size_t n, bool mayFail = false);

// Gives back a block obtained from allocate with the same n.
void release(void* block, std::size_t n);

// Reports that the process ran out of memory and exits with status 0.
[[noreturn]] void outOfMemory();

// Bytes currently handed out (requests minus releases).
std::int64_t bytesInUse();

}  // namespace rt::memory
