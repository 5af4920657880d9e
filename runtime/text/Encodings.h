// Encoding words that tag every String. The values follow the platform-neutral
// text encoding numbering; 0x100 ... 0x1FF is the UTF-16 family.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

static const uint32_t kEncodingMacRoman = 0x00000000u;
static const uint32_t kEncodingUTF16 = 0x00000100u;
static const uint32_t kEncodingASCII = 0x00000600u;
static const uint32_t kEncodingUnknown = 0x0000FFFFu;
static const uint32_t kEncodingUTF8 = 0x08000100u;
static const uint32_t kEncodingUTF32 = 0x0C000100u;
// The system encoding: the default text encoding and that of the "System" font.
static const uint32_t kEncodingSystem = 0x08000100u;

static inline int EncodingIsUTF16Family(uint32_t encoding) {
  return encoding >= 0x100u && encoding <= 0x1FFu;
}

#ifdef __cplusplus
}
#endif
