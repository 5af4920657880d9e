#include "classlib/MemoryBlockAccess.h"
#include "classlib/MemoryBlockApi.h"

using namespace rt::classlib;

namespace {

// 16-bit colours are 5-5-5: five bits a channel, each the top bits of the
// channel's byte.
uint32_t colorFrom555(uint16_t value) {
  const uint32_t red = (value >> 10) & 0x1F;
  const uint32_t green = (value >> 5) & 0x1F;
  const uint32_t blue = value & 0x1F;
  return (red << 3) << 16 | (green << 3) << 8 | blue << 3;
}

uint16_t colorTo555(uint32_t color) {
  const uint32_t red = (color >> 16) & 0xFF;
  const uint32_t green = (color >> 8) & 0xFF;
  const uint32_t blue = color & 0xFF;
  return static_cast<uint16_t>((red >> 3) << 10 | (green >> 3) << 5 | blue >> 3);
}

// A 24-bit colour is the colour's low three bytes as a number in the block's byte order.
uint32_t load24(const unsigned char* at, bool littleEndian) {
  return littleEndian ? at[0] | at[1] << 8 | at[2] << 16 : at[0] << 16 | at[1] << 8 | at[2];
}

void store24(unsigned char* at, uint32_t color, bool littleEndian) {
  const unsigned char high = static_cast<unsigned char>(color >> 16);
  const unsigned char low = static_cast<unsigned char>(color);
  at[0] = littleEndian ? low : high;
  at[1] = static_cast<unsigned char>(color >> 8);
  at[2] = littleEndian ? high : low;
}

bool isColorWidth(int32_t bits) { return bits == 16 || bits == 24 || bits == 32; }

// The bytes of a colour, or null (after raising for a nil block or a refused
// access) when there is none to read or write; a width without a layout
// touches no byte.
unsigned char* reachColor(RTObject* block, int32_t offset, int32_t bits) {
  const bool known = isColorWidth(bits);
  unsigned char* at = reach(block, offset, known ? bits / 8 : 0);
  return known ? at : nullptr;
}

}  // namespace

extern "C" {

int32_t memoryGetByte(RTObject* block, int32_t offset) { return read<uint8_t>(block, offset); }
void memorySetByte(RTObject* block, int32_t offset, int32_t value) {
  write(block, offset, static_cast<uint8_t>(value));
}
int32_t memoryGetInt8(RTObject* block, int32_t offset) { return read<int8_t>(block, offset); }
void memorySetInt8(RTObject* block, int32_t offset, int32_t value) {
  write(block, offset, static_cast<int8_t>(value));
}
int32_t memoryGetUInt8(RTObject* block, int32_t offset) { return read<uint8_t>(block, offset); }
void memorySetUInt8(RTObject* block, int32_t offset, int32_t value) {
  write(block, offset, static_cast<uint8_t>(value));
}
uint8_t memoryGetBoolean(RTObject* block, int32_t offset) {
  return read<uint8_t>(block, offset) != 0;
}
void memorySetBoolean(RTObject* block, int32_t offset, uint8_t value) {
  write<uint8_t>(block, offset, value != 0 ? 1 : 0);
}

int32_t memoryGetShort(RTObject* block, int32_t offset) { return read<int16_t>(block, offset); }
void memorySetShort(RTObject* block, int32_t offset, int32_t value) {
  write(block, offset, static_cast<int16_t>(value));
}
int32_t memoryGetInt16(RTObject* block, int32_t offset) { return read<int16_t>(block, offset); }
void memorySetInt16(RTObject* block, int32_t offset, int32_t value) {
  write(block, offset, static_cast<int16_t>(value));
}
int32_t memoryGetUShort(RTObject* block, int32_t offset) { return read<uint16_t>(block, offset); }
int32_t memoryGetUInt16(RTObject* block, int32_t offset) { return read<uint16_t>(block, offset); }
void memorySetUInt16(RTObject* block, int32_t offset, int32_t value) {
  write(block, offset, static_cast<uint16_t>(value));
}

int32_t memoryGetLong(RTObject* block, int32_t offset) { return read<int32_t>(block, offset); }
void memorySetLong(RTObject* block, int32_t offset, int32_t value) { write(block, offset, value); }
uint32_t memoryGetUInt32(RTObject* block, int32_t offset) { return read<uint32_t>(block, offset); }
void memorySetUInt32(RTObject* block, int32_t offset, uint32_t value) {
  write(block, offset, value);
}
double memoryGetSingle(RTObject* block, int32_t offset) { return read<float>(block, offset); }
void memorySetSingle(RTObject* block, int32_t offset, float value) { write(block, offset, value); }

RTObject* memoryGetPtr(RTObject* block, int32_t offset) {
  void* address = read<void*>(block, offset);
  return address != nullptr ? PtrToMemoryBlock(address) : nullptr;
}

void memorySetPtr(RTObject* block, int32_t offset, RTObject* value) {
  write(block, offset, memoryBlockGetPtr(value));
}

int64_t memoryGetInt64(RTObject* block, int32_t offset) { return read<int64_t>(block, offset); }
void memorySetInt64(RTObject* block, int32_t offset, int64_t value) { write(block, offset, value); }
uint64_t memoryGetUInt64(RTObject* block, int32_t offset) { return read<uint64_t>(block, offset); }
void memorySetUInt64(RTObject* block, int32_t offset, uint64_t value) {
  write(block, offset, value);
}
double memoryGetDouble(RTObject* block, int32_t offset) { return read<double>(block, offset); }
void memorySetDouble(RTObject* block, int32_t offset, double value) { write(block, offset, value); }

uint32_t memoryGetColor(RTObject* block, int32_t offset, int32_t bits) {
  const unsigned char* at = reachColor(block, offset, bits);
  if (at == nullptr) return 0;
  const MemoryBlockObject& b = blockOf(block);
  switch (bits) {
    case 16:
      return colorFrom555(load<uint16_t>(at, swapsBytes(b)));
    case 24:
      return load24(at, b.littleEndian != 0);
    default:
      return load<uint32_t>(at, swapsBytes(b));
  }
}

void memorySetColor(RTObject* block, int32_t offset, int32_t bits, uint32_t color) {
  unsigned char* at = reachColor(block, offset, bits);
  if (at == nullptr) return;
  const MemoryBlockObject& b = blockOf(block);
  switch (bits) {
    case 16:
      store(at, colorTo555(color), swapsBytes(b));
      break;
    case 24:
      store24(at, color, b.littleEndian != 0);
      break;
    default:
      store(at, color, swapsBytes(b));
      break;
  }
}

}  // extern "C"
