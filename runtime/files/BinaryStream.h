// rt::BinaryStream, the counted C++ handle on a binary file stream: bytes and
// fixed-width numbers (big-endian unless littleEndian) at any position.
// Failures do not throw: reads give 0 or the empty string and the error
// shows in lastErrorCode(); a closed stream reads nothing and writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "objects/ObjectHandle.h"
#include "text/StringHandle.h"

namespace rt {

class BinaryStream {
 public:
  BinaryStream() = default;
  explicit BinaryStream(Object stream) : stream_(std::move(stream)) {}

  explicit operator bool() const { return static_cast<bool>(stream_); }
  const Object& object() const { return stream_; }

  std::uint8_t readByte();
  std::int8_t readInt8();
  std::int16_t readInt16();
  std::uint16_t readUInt16();
  std::int32_t readInt32();
  std::uint32_t readUInt32();
  std::int64_t readInt64();
  std::uint64_t readUInt64();
  bool readBoolean();
  // Up to count bytes, tagged with the encoding object's word (nil: unknown).
  String read(std::int32_t count, const Object& encoding = Object());
  String readPString(const Object& encoding = Object());

  // Bulk transfers, straight between the buffer and the file's descriptor
  // rather than through the C library's buffer; they mix freely with the
  // other calls. Reads up to buffer.size() bytes into buffer; returns how
  // many were read.
  std::size_t readInto(std::span<std::uint8_t> buffer);
  // Writes every byte; false when they could not all be written.
  [[nodiscard]] bool writeFrom(std::span<const std::uint8_t> bytes);

  void writeByte(std::uint8_t value);
  void writeInt8(std::int8_t value);
  void writeInt16(std::int16_t value);
  void writeUInt16(std::uint16_t value);
  void writeInt32(std::int32_t value);
  void writeUInt32(std::uint32_t value);
  void writeInt64(std::int64_t value);
  void writeUInt64(std::uint64_t value);
  void writeBoolean(bool value);
  void write(const String& bytes);
  void writePString(const String& text);

  std::int64_t length() const;
  void setLength(std::int64_t length);
  std::int64_t position() const;
  void setPosition(std::int64_t position);
  bool eof() const;
  bool littleEndian() const;
  void setLittleEndian(bool littleEndian);
  void flush();
  void close();
  std::int32_t lastErrorCode() const;

 private:
  Object stream_;
};

}  // namespace rt
