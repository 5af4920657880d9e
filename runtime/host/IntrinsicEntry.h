// One entry of the intrinsic function table: the name compiled code and plugins
// bind to, and the entry point.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct IntrinsicEntry {
  const char* name;
  void* entryPoint;
  uintptr_t reserved[2];
} IntrinsicEntry;

#ifdef __cplusplus
}

#define RT_INTRINSIC(function) \
  IntrinsicEntry { #function, reinterpret_cast<void*>(&(function)), { 0, 0 } }
#define RT_INTRINSIC_NAMED(name, function) \
  IntrinsicEntry { name, reinterpret_cast<void*>(&(function)), { 0, 0 } }
#endif
