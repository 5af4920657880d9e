// The Blowfish block cipher: a 64-bit block, held as two 32-bit halves, goes
// through 16 Feistel rounds keyed by an 18-word P-array and four S-boxes of
// 256 words each, all derived from a key of 1 to 72 significant bytes.
#pragma once

#include <cstdint>
#include <span>

namespace rt::classlib {

struct BlowfishSchedule {
  std::uint32_t s[4][256];
  std::uint32_t p[18];
};

// The standard key schedule: the initial tables (the digits of pi) with the
// P-array XORed by the key bytes, reused cyclically from their start, then
// every P and S word replaced, pair by pair, by enciphering a running block
// that starts at zero. The key must hold at least one byte; bytes past the
// 72nd never reach the schedule.
void setBlowfishKey(BlowfishSchedule& schedule, std::span<const unsigned char> key);

void blowfishEncipher(const BlowfishSchedule& schedule, std::uint32_t& left, std::uint32_t& right);
void blowfishDecipher(const BlowfishSchedule& schedule, std::uint32_t& left, std::uint32_t& right);

}  // namespace rt::classlib
