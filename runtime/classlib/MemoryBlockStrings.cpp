#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "classlib/MemoryBlockAccess.h"
#include "classlib/MemoryBlockApi.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringHandle.h"
#include "text/StringStorage.h"
#include "text/TextEncodingClass.h"

using namespace rt::classlib;

namespace {

RTString untagged(const unsigned char* bytes, std::size_t length) {
  return rt::text::makeString(bytes, length, kEncodingUnknown);
}

// Bytes an owned block holds from offset on; a wrapping block has no known end.
std::size_t bytesFrom(const MemoryBlockObject& block, int32_t offset) {
  return block.owned ? static_cast<std::size_t>(block.size - offset) : SIZE_MAX;
}

// The code points of text as 32-bit units. Text that cannot be brought to
// UTF-32 (untagged bytes) gives one unit a byte.
std::vector<uint32_t> wideUnits(RTString text) {
  const rt::String wide = rt::String::adopt(rt::text::convertEncoding(text, kEncodingUTF32));
  const std::string_view bytes = wide.view();
  std::vector<uint32_t> units;
  if (wide.encoding() == kEncodingUTF32) {
    units.resize(bytes.size() / sizeof(uint32_t));
    if (!units.empty()) std::memcpy(units.data(), bytes.data(), units.size() * sizeof(uint32_t));
  } else {
    for (char c : bytes) units.push_back(static_cast<unsigned char>(c));
  }
  return units;
}

}  // namespace

extern "C" {

RTString memoryGetPString(RTObject* block, int32_t offset) {
  const unsigned char* lengthByte = reach(block, offset, 1);
  if (lengthByte == nullptr) return nullptr;
  const unsigned char length = *lengthByte;
  const unsigned char* text = reach(block, int64_t{offset} + 1, length);
  return text != nullptr ? untagged(text, length) : nullptr;
}

void memorySetPString(RTObject* block, int32_t offset, RTString text) {
  const std::string_view bytes = rt::text::bytes(text);
  unsigned char* at = reach(block, offset, static_cast<int64_t>(bytes.size()) + 1);
  if (at == nullptr) return;
  at[0] = static_cast<unsigned char>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), at + 1);
  const MemoryBlockObject& b = blockOf(block);
  if (b.owned && int64_t{offset} + 1 + static_cast<int64_t>(bytes.size()) < b.size) {
    at[1 + bytes.size()] = 0;
  }
}

RTString memoryGetCString(RTObject* block, int32_t offset) {
  const unsigned char* at = reach(block, offset, 1);
  if (at == nullptr) return nullptr;
  const std::size_t limit = bytesFrom(blockOf(block), offset);
  return untagged(at, strnlen(reinterpret_cast<const char*>(at), limit));
}

void memorySetCString(RTObject* block, int32_t offset, RTString text) {
  const std::string_view bytes = rt::text::bytes(text);
  unsigned char* at = reach(block, offset, static_cast<int64_t>(bytes.size()) + 1);
  if (at == nullptr) return;
  std::copy(bytes.begin(), bytes.end(), at);
  at[bytes.size()] = 0;
}

RTString memoryGetWString(RTObject* block, int32_t offset) {
  const unsigned char* at = reach(block, offset, 1);
  if (at == nullptr) return nullptr;
  const MemoryBlockObject& b = blockOf(block);
  const std::size_t limit = bytesFrom(b, offset) / sizeof(uint32_t);
  std::vector<uint32_t> units;
  for (std::size_t i = 0; i < limit; ++i) {
    const uint32_t unit = load<uint32_t>(at + i * sizeof(uint32_t), swapsBytes(b));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return rt::text::makeString(units.data(), units.size() * sizeof(uint32_t), kEncodingUTF32);
}

void memorySetWString(RTObject* block, int32_t offset, RTString text) {
  const std::vector<uint32_t> units = wideUnits(text);
  const auto bytes = static_cast<int64_t>((units.size() + 1) * sizeof(uint32_t));
  unsigned char* at = reach(block, offset, bytes);
  if (at == nullptr) return;
  const bool swap = swapsBytes(blockOf(block));
  for (std::size_t i = 0; i < units.size(); ++i) store(at + i * sizeof(uint32_t), units[i], swap);
  store(at + units.size() * sizeof(uint32_t), uint32_t{0}, swap);
}

RTString memoryGetString(RTObject* block, int32_t offset, int32_t length, RTObject* encoding) {
  const unsigned char* at = reach(block, offset, length);
  if (at == nullptr) return nullptr;
  return rt::text::makeString(at, static_cast<std::size_t>(length),
                              rt::text::encodingOfObject(encoding));
}

void memorySetString(RTObject* block, int32_t offset, int32_t length, RTObject* encoding,
                     RTString text) {
  unsigned char* at = reach(block, offset, length);
  if (at == nullptr) return;
  const rt::String stored =
      encoding != nullptr
          ? rt::String::adopt(rt::text::convertEncoding(text, rt::text::encodingOfObject(encoding)))
          : rt::String(text);
  const std::string_view bytes = stored.view().substr(0, static_cast<std::size_t>(length));
  std::copy(bytes.begin(), bytes.end(), at);
  std::fill(at + bytes.size(), at + length, 0);
}

}  // extern "C"
