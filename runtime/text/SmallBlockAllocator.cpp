#include "text/SmallBlockAllocator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace rt::memory {
namespace {

constexpr std::size_t kLargestSmallBlock = 252;
constexpr std::size_t kChunkSize = 8192;
// Size classes step by 4 bytes, but a block cut from a chunk must start where
// a pointer, a double or a 64-bit integer may, so cuts are rounded up to that.
constexpr std::size_t kBlockAlignment =
    std::max({alignof(void*), alignof(double), alignof(std::int64_t)});

struct FreeBlock {
  FreeBlock* next;
};

// Only the thread holding the scheduler baton runs runtime code, so the
// allocator state needs no lock.
struct State {
  std::array<FreeBlock*, 64> freeLists{};
  char* chunkCursor = nullptr;
  std::size_t chunkRemaining = 0;
  std::int64_t bytesInUse = 0;
};

State& state() {
  static State s;
  return s;
}

std::size_t sizeClass(std::size_t n) { return (n + 3) / 4; }

std::size_t cutSize(std::size_t n) {
  return (sizeClass(n) * 4 + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
}

void* cutFromChunk(std::size_t rounded, bool mayFail) {
  State& s = state();
  if (s.chunkRemaining < rounded) {
    // The rest of the old chunk is abandoned: chunks are never handed back.
    auto* chunk = static_cast<char*>(std::malloc(kChunkSize));
    if (chunk == nullptr) {
      if (mayFail) return nullptr;
      outOfMemory();
    }
    s.chunkCursor = chunk;
    s.chunkRemaining = kChunkSize;
  }
  void* block = s.chunkCursor;
  s.chunkCursor += rounded;
  s.chunkRemaining -= rounded;
  return block;
}

}  // namespace

void outOfMemory() {
  // Nothing is left to do if the message cannot be written.
  (void)std::fputs("This application has run out of memory and must quit now.\n", stdout);
  (void)std::fflush(stdout);
  std::exit(0);
}

// Under AddressSanitizer every block comes from the system heap, so that a use
// after release is caught instead of being hidden by a free list. GCC names
// the sanitizer with a macro, clang only through __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOR_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(VANTOR_ADDRESS_SANITIZER)
constexpr bool kUseFreeLists = false;
#else
constexpr bool kUseFreeLists = true;
#endif

void* allocate(std::size_t n, bool mayFail) {
  if (n == 0) return nullptr;
  State& s = state();
  void* block = nullptr;
  if (kUseFreeLists && n <= kLargestSmallBlock) {
    FreeBlock*& head = s.freeLists[sizeClass(n)];
    if (head != nullptr) {
      block = head;
      head = head->next;
    } else {
      block = cutFromChunk(cutSize(n), mayFail);
    }
  } else {
    block = std::malloc(n);
    if (block == nullptr && !mayFail) outOfMemory();
  }
  if (block != nullptr) s.bytesInUse += static_cast<std::int64_t>(n);
  return block;
}

void release(void* block, std::size_t n) {
  if (block == nullptr) return;
  State& s = state();
  s.bytesInUse -= static_cast<std::int64_t>(n);
  if (kUseFreeLists && n <= kLargestSmallBlock) {
    auto* freed = static_cast<FreeBlock*>(block);
    FreeBlock*& head = s.freeLists[sizeClass(n)];
    freed->next = head;
    head = freed;
  } else {
    std::free(block);
  }
}

std::int64_t bytesInUse() { return state().bytesInUse; }

}  // namespace rt::memory
