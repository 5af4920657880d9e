// Inside the numbers subsystem: random bytes read as 20-bit values, packed
// tightly so that no random bit is wasted: the bytes in order, lowest bit
// first, are one stream of bits, and value i is its bits 20i to 20i + 19.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace rt::numbers {

inline constexpr std::size_t kGroupValues = 8;  // eight values fill 20 bytes
inline constexpr std::size_t kGroupBytes = 20;

// Unpacks values.size() / 8 whole groups from bytes (20 bytes a group), with
// the vector unit where the processor has one.
void unpackTwentyBitValues(std::span<const std::uint8_t> bytes, std::span<std::uint32_t> values);
// The same without vector instructions.
void unpackTwentyBitValuesPortably(std::span<const std::uint8_t> bytes,
                                   std::span<std::uint32_t> values);

}  // namespace rt::numbers
