#include "files/BinaryStream.h"

#include <cstddef>

#include "files/Checked.h"
#include "files/FileObjects.h"
#include "files/FileStreamApi.h"
#include "objects/FieldAccessors.h"

namespace rt {
namespace {

using files::call;
using files::checked;

constexpr std::intptr_t kLittleEndianOffset = offsetof(files::BinaryStreamObject, littleEndian);

// The open file of a stream (null when closed); a null handle throws.
files::UnixDataFile* fileOf(const Object& stream) {
  files::requireObject(stream);
  return reinterpret_cast<files::BinaryStreamObject*>(stream.get())->file;
}

}  // namespace

std::uint8_t BinaryStream::readByte() {
  return static_cast<std::uint8_t>(checked(BinaryStreamReadByte(stream_.get())));
}
std::int8_t BinaryStream::readInt8() {
  return static_cast<std::int8_t>(checked(BinaryStreamReadInt8(stream_.get())));
}
std::int16_t BinaryStream::readInt16() {
  return static_cast<std::int16_t>(checked(BinaryStreamReadInt16(stream_.get())));
}
std::uint16_t BinaryStream::readUInt16() {
  return static_cast<std::uint16_t>(checked(BinaryStreamReadUInt16(stream_.get())));
}
std::int32_t BinaryStream::readInt32() { return checked(BinaryStreamReadInt32(stream_.get())); }
std::uint32_t BinaryStream::readUInt32() { return checked(BinaryStreamReadUInt32(stream_.get())); }
std::int64_t BinaryStream::readInt64() { return checked(BinaryStreamReadInt64(stream_.get())); }
std::uint64_t BinaryStream::readUInt64() { return checked(BinaryStreamReadUInt64(stream_.get())); }
bool BinaryStream::readBoolean() { return checked(BinaryStreamReadBoolean(stream_.get())) != 0; }

String BinaryStream::read(std::int32_t count, const Object& encoding) {
  return checked(String::adopt(BinaryStreamRead(stream_.get(), count, encoding.get())));
}

String BinaryStream::readPString(const Object& encoding) {
  return checked(String::adopt(BinaryStreamReadPString(stream_.get(), encoding.get())));
}

std::size_t BinaryStream::readInto(std::span<std::uint8_t> buffer) {
  files::UnixDataFile* file = fileOf(stream_);
  std::size_t got = 0;
  if (file != nullptr) file->readDirect(buffer.data(), buffer.size(), got);
  return got;
}

bool BinaryStream::writeFrom(std::span<const std::uint8_t> bytes) {
  files::UnixDataFile* file = fileOf(stream_);
  return file != nullptr && file->writeDirect(bytes.data(), bytes.size());
}

void BinaryStream::writeByte(std::uint8_t value) { call(BinaryStreamWriteByte, stream_.get(), value); }
void BinaryStream::writeInt8(std::int8_t value) { call(BinaryStreamWriteInt8, stream_.get(), value); }
void BinaryStream::writeInt16(std::int16_t value) {
  call(BinaryStreamWriteInt16, stream_.get(), value);
}
void BinaryStream::writeUInt16(std::uint16_t value) {
  call(BinaryStreamWriteUInt16, stream_.get(), value);
}
void BinaryStream::writeInt32(std::int32_t value) {
  call(BinaryStreamWriteInt32, stream_.get(), value);
}
void BinaryStream::writeUInt32(std::uint32_t value) {
  call(BinaryStreamWriteUInt32, stream_.get(), value);
}
void BinaryStream::writeInt64(std::int64_t value) {
  call(BinaryStreamWriteInt64, stream_.get(), value);
}
void BinaryStream::writeUInt64(std::uint64_t value) {
  call(BinaryStreamWriteUInt64, stream_.get(), value);
}
void BinaryStream::writeBoolean(bool value) {
  call(BinaryStreamWriteBoolean, stream_.get(), static_cast<std::uint8_t>(value));
}
void BinaryStream::write(const String& bytes) { call(BinaryStreamWrite, stream_.get(), bytes.get()); }
void BinaryStream::writePString(const String& text) {
  call(BinaryStreamWritePString, stream_.get(), text.get());
}

std::int64_t BinaryStream::length() const { return checked(BinaryStreamLengthGetter(stream_.get())); }
void BinaryStream::setLength(std::int64_t length) {
  call(BinaryStreamLengthSetter, stream_.get(), length);
}
std::int64_t BinaryStream::position() const {
  return checked(BinaryStreamPositionGetter(stream_.get()));
}
void BinaryStream::setPosition(std::int64_t position) {
  call(BinaryStreamPositionSetter, stream_.get(), position);
}
bool BinaryStream::eof() const { return checked(BinaryStreamEOFGetter(stream_.get())) != 0; }

bool BinaryStream::littleEndian() const {
  files::requireObject(stream_);
  return boolGetter(stream_.get(), kLittleEndianOffset) != 0;
}

void BinaryStream::setLittleEndian(bool littleEndian) {
  files::requireObject(stream_);
  boolSetter(stream_.get(), kLittleEndianOffset, littleEndian);
}

void BinaryStream::flush() { call(BinaryStreamFlush, stream_.get()); }
void BinaryStream::close() { call(BinaryStreamClose, stream_.get()); }
std::int32_t BinaryStream::lastErrorCode() const {
  return checked(BinaryStreamLastErrorGetter(stream_.get()));
}

}  // namespace rt
