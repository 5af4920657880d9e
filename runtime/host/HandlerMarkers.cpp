#include "host/HandlerMarkers.h"

#include <cstring>

namespace rt::host {
namespace {

constexpr std::uint8_t kJump32 = 0xE9;
constexpr std::uint8_t kJump8 = 0xEB;
constexpr std::uint8_t kLeave = 0xC9;
constexpr std::uint8_t kPopFramePointer = 0x5D;
constexpr std::uint8_t kReturn = 0xC3;

}  // namespace

std::optional<std::size_t> findHandlerMarker(std::span<const std::uint8_t> code, std::size_t from) {
  int depth = 0;
  for (std::size_t at = from; at < code.size();) {
    const std::uint8_t byte = code[at];
    const bool more = at + 1 < code.size();
    if ((byte == kLeave || byte == kPopFramePointer) && more && code[at + 1] == kReturn) return std::nullopt;
    if (byte != kJump32 && byte != kJump8) {
      ++at;
      continue;
    }
    // A marker whose handler would start beyond the code is no marker.
    if (code.size() - at < kMarkerHandlerOffset) return std::nullopt;
    std::uint32_t kind;
    std::memcpy(&kind, code.data() + at + 5, sizeof kind);
    if (kind == kMarkerHandler && depth == 0) return at;
    if (kind == kMarkerHandler || kind == kMarkerBlockStart || kind == kMarkerBlockEnd) {
      if (kind == kMarkerBlockStart) ++depth;
      if (kind == kMarkerBlockEnd && depth > 0) --depth;
      ++at;
    } else {
      at += byte == kJump32 ? 5 : 2;
    }
  }
  return std::nullopt;
}

std::int16_t markerVariableOffset(std::span<const std::uint8_t> code, std::size_t marker) {
  std::int16_t offset;
  std::memcpy(&offset, code.data() + marker + kMarkerVariableOffset, sizeof offset);
  return offset;
}

}  // namespace rt::host
