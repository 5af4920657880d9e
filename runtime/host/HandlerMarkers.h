// Handler markers in compiled code. A marker follows a jump over itself and
// its handler:
//
//   +0   E9 rel32 (or EB rel8)   the normal path jumps over marker and handler
//   +5   u32 kind                0x411 handler, 0x412/0x413 protected block start/end
//   +9   u16 0
//   +11  i16 frame offset of the variable receiving the exception, 0 for none
//   +13  the handler
//
// A function ends with C9 C3 (leave, ret) or 5D C3 (pop of the frame
// pointer, ret).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace rt::host {

constexpr std::uint32_t kMarkerHandler = 0x411;
constexpr std::uint32_t kMarkerBlockStart = 0x412;
constexpr std::uint32_t kMarkerBlockEnd = 0x413;
constexpr std::size_t kMarkerVariableOffset = 11;
constexpr std::size_t kMarkerHandlerOffset = 13;

// The offset of the handler marker that serves code from offset `from` on:
// the first 0x411 marker outside nested protected blocks before the
// function's end pattern. Nothing when the function ends first, or the code
// does.
std::optional<std::size_t> findHandlerMarker(std::span<const std::uint8_t> code, std::size_t from);

// The exception variable's frame offset of the marker at `marker`.
std::int16_t markerVariableOffset(std::span<const std::uint8_t> code, std::size_t marker);

}  // namespace rt::host
