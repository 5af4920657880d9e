#include <algorithm>
#include <array>
#include <cstddef>

#include "files/FileObjects.h"
#include "files/FileStreamApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/FieldAccessors.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"
#include "text/TextEncodingClass.h"

namespace rt::files {
namespace {

BinaryStreamObject* fieldsOf(RTObject* stream) {
  if (stream == nullptr) RaiseNilObjectException();
  return reinterpret_cast<BinaryStreamObject*>(stream);
}

// The open file of a stream, or null when it is nil or closed.
UnixDataFile* openFile(RTObject* stream) {
  BinaryStreamObject* fields = fieldsOf(stream);
  return fields != nullptr ? fields->file : nullptr;
}

void finalizeBinaryStream(RTObject* object) {
  auto* stream = reinterpret_cast<BinaryStreamObject*>(object);
  delete stream->file;
  stream->file = nullptr;
}

// Numbers travel as unsigned values of their width; big-endian unless the
// stream says little-endian.
template <class Unsigned>
Unsigned readNumber(RTObject* stream) {
  UnixDataFile* file = openFile(stream);
  if (file == nullptr) return 0;
  unsigned char bytes[sizeof(Unsigned)];
  std::size_t got = 0;
  file->read(bytes, sizeof bytes, got);
  if (got != sizeof bytes) return 0;
  if (!reinterpret_cast<BinaryStreamObject*>(stream)->littleEndian) std::reverse(bytes, bytes + got);
  Unsigned value = 0;
  for (std::size_t i = sizeof bytes; i-- > 0;) value = static_cast<Unsigned>(value << 8 | bytes[i]);
  return value;
}

template <class Unsigned>
void writeNumber(RTObject* stream, Unsigned value) {
  UnixDataFile* file = openFile(stream);
  if (file == nullptr) return;
  unsigned char bytes[sizeof(Unsigned)];
  for (std::size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
  if (!reinterpret_cast<BinaryStreamObject*>(stream)->littleEndian) std::reverse(bytes, bytes + sizeof bytes);
  file->write(bytes, sizeof bytes);
}

// Up to count bytes from one read, tagged with the encoding's word.
RTString readText(UnixDataFile& file, std::int64_t count, RTObject* encoding) {
  if (count < 1) return nullptr;
  const std::uint32_t word = text::encodingOfObject(encoding);
  RTString text = text::makeString(nullptr, static_cast<std::size_t>(count), word);
  std::size_t got = 0;
  file.read(text->text, text->length, got);
  if (got == text->length) return text;
  RTString shorter = text::makeString(text->text, got, word);
  RuntimeUnlockString(text);
  return shorter;
}

using Function = void*;

const std::array kBinaryStreamMethods{
    method("ReadByte%u1%o<BinaryStream>", &BinaryStreamReadByte),
    method("ReadInt8%i1%o<BinaryStream>", &BinaryStreamReadInt8),
    method("ReadShort%i2%o<BinaryStream>", &BinaryStreamReadShort),
    method("ReadInt16%i2%o<BinaryStream>", &BinaryStreamReadInt16),
    method("ReadUInt16%u2%o<BinaryStream>", &BinaryStreamReadUInt16),
    method("ReadLong%i4%o<BinaryStream>", &BinaryStreamReadLong),
    method("ReadInt32%i4%o<BinaryStream>", &BinaryStreamReadInt32),
    method("ReadUInt32%u4%o<BinaryStream>", &BinaryStreamReadUInt32),
    method("ReadInt64%i8%o<BinaryStream>", &BinaryStreamReadInt64),
    method("ReadUInt64%u8%o<BinaryStream>", &BinaryStreamReadUInt64),
    method("ReadBoolean%b%o<BinaryStream>", &BinaryStreamReadBoolean),
    method("Read%s%o<BinaryStream>i4o<TextEncoding>", &BinaryStreamRead),
    method("ReadPString%s%o<BinaryStream>o<TextEncoding>", &BinaryStreamReadPString),
    method("WriteByte%%o<BinaryStream>u1", &BinaryStreamWriteByte),
    method("WriteInt8%%o<BinaryStream>i1", &BinaryStreamWriteInt8),
    method("WriteUInt8%%o<BinaryStream>u1", &BinaryStreamWriteUInt8),
    method("WriteShort%%o<BinaryStream>i2", &BinaryStreamWriteShort),
    method("WriteInt16%%o<BinaryStream>i2", &BinaryStreamWriteInt16),
    method("WriteUInt16%%o<BinaryStream>u2", &BinaryStreamWriteUInt16),
    method("WriteLong%%o<BinaryStream>i4", &BinaryStreamWriteLong),
    method("WriteInt32%%o<BinaryStream>i4", &BinaryStreamWriteInt32),
    method("WriteUInt32%%o<BinaryStream>u4", &BinaryStreamWriteUInt32),
    method("WriteInt64%%o<BinaryStream>i8", &BinaryStreamWriteInt64),
    method("WriteUInt64%%o<BinaryStream>u8", &BinaryStreamWriteUInt64),
    method("WriteBoolean%%o<BinaryStream>b", &BinaryStreamWriteBoolean),
    method("Write%%o<BinaryStream>s", &BinaryStreamWrite),
    method("WritePString%%o<BinaryStream>s", &BinaryStreamWritePString),
    method("Flush%%o<BinaryStream>", &BinaryStreamFlush),
    method("Close%%o<BinaryStream>", &BinaryStreamClose),
};

const std::array kBinaryStreamProperties{
    PropertyDefinition{"Length", reinterpret_cast<Function>(&BinaryStreamLengthGetter),
                       reinterpret_cast<Function>(&BinaryStreamLengthSetter), 0},
    PropertyDefinition{"Position", reinterpret_cast<Function>(&BinaryStreamPositionGetter),
                       reinterpret_cast<Function>(&BinaryStreamPositionSetter), 0},
    PropertyDefinition{"EOF", reinterpret_cast<Function>(&BinaryStreamEOFGetter), nullptr, 0},
    PropertyDefinition{"LastErrorCode", reinterpret_cast<Function>(&BinaryStreamLastErrorGetter),
                       nullptr, 0},
    PropertyDefinition{"ReadError", reinterpret_cast<Function>(&BinaryStreamReadErrorGetter),
                       nullptr, 0},
    PropertyDefinition{"WriteError", reinterpret_cast<Function>(&BinaryStreamWriteErrorGetter),
                       nullptr, 0},
    PropertyDefinition{"LittleEndian", reinterpret_cast<Function>(&boolGetter),
                       reinterpret_cast<Function>(&boolSetter),
                       offsetof(BinaryStreamObject, littleEndian)},
};

}  // namespace

const ClassDefinition binaryStreamClass{"BinaryStream",        nullptr,
                                        sizeof(BinaryStreamObject), nullptr,
                                        &finalizeBinaryStream, kBinaryStreamMethods,
                                        kBinaryStreamProperties, {}};

RTObject* newBinaryStream(std::unique_ptr<UnixDataFile> file) {
  RTObject* object = RuntimeNewObject(objects::classFor(binaryStreamClass));
  if (object != nullptr) reinterpret_cast<BinaryStreamObject*>(object)->file = file.release();
  return object;
}

}  // namespace rt::files

using namespace rt::files;

extern "C" {

int32_t BinaryStreamReadByte(RTObject* stream) { return readNumber<uint8_t>(stream); }
int32_t BinaryStreamReadInt8(RTObject* stream) {
  return static_cast<int8_t>(readNumber<uint8_t>(stream));
}
int32_t BinaryStreamReadShort(RTObject* stream) {
  return static_cast<int16_t>(readNumber<uint16_t>(stream));
}
int32_t BinaryStreamReadInt16(RTObject* stream) { return BinaryStreamReadShort(stream); }
int32_t BinaryStreamReadUInt16(RTObject* stream) { return readNumber<uint16_t>(stream); }
int32_t BinaryStreamReadLong(RTObject* stream) {
  return static_cast<int32_t>(readNumber<uint32_t>(stream));
}
int32_t BinaryStreamReadInt32(RTObject* stream) { return BinaryStreamReadLong(stream); }
uint32_t BinaryStreamReadUInt32(RTObject* stream) { return readNumber<uint32_t>(stream); }
int64_t BinaryStreamReadInt64(RTObject* stream) {
  return static_cast<int64_t>(readNumber<uint64_t>(stream));
}
uint64_t BinaryStreamReadUInt64(RTObject* stream) { return readNumber<uint64_t>(stream); }
uint8_t BinaryStreamReadBoolean(RTObject* stream) { return readNumber<uint8_t>(stream) != 0; }

RTString BinaryStreamRead(RTObject* stream, int32_t count, RTObject* encoding) {
  UnixDataFile* file = openFile(stream);
  if (file == nullptr) return nullptr;
  const int64_t left = file->length() - file->position();
  return readText(*file, std::min<int64_t>(count, left), encoding);
}

RTString BinaryStreamReadPString(RTObject* stream, RTObject* encoding) {
  UnixDataFile* file = openFile(stream);
  if (file == nullptr) return nullptr;
  unsigned char length = 0;
  std::size_t got = 0;
  file->read(&length, 1, got);
  return got == 1 ? readText(*file, length, encoding) : nullptr;
}

void BinaryStreamWriteByte(RTObject* stream, int32_t value) {
  writeNumber(stream, static_cast<uint8_t>(value));
}
void BinaryStreamWriteInt8(RTObject* stream, int32_t value) { BinaryStreamWriteByte(stream, value); }
void BinaryStreamWriteUInt8(RTObject* stream, int32_t value) { BinaryStreamWriteByte(stream, value); }
void BinaryStreamWriteShort(RTObject* stream, int32_t value) {
  writeNumber(stream, static_cast<uint16_t>(value));
}
void BinaryStreamWriteInt16(RTObject* stream, int32_t value) { BinaryStreamWriteShort(stream, value); }
void BinaryStreamWriteUInt16(RTObject* stream, int32_t value) {
  BinaryStreamWriteShort(stream, value);
}
void BinaryStreamWriteLong(RTObject* stream, int32_t value) {
  writeNumber(stream, static_cast<uint32_t>(value));
}
void BinaryStreamWriteInt32(RTObject* stream, int32_t value) { BinaryStreamWriteLong(stream, value); }
void BinaryStreamWriteUInt32(RTObject* stream, uint32_t value) { writeNumber(stream, value); }
void BinaryStreamWriteInt64(RTObject* stream, int64_t value) {
  writeNumber(stream, static_cast<uint64_t>(value));
}
void BinaryStreamWriteUInt64(RTObject* stream, uint64_t value) { writeNumber(stream, value); }
void BinaryStreamWriteBoolean(RTObject* stream, uint8_t value) {
  writeNumber(stream, static_cast<uint8_t>(value != 0));
}

void BinaryStreamWrite(RTObject* stream, RTString text) {
  if (UnixDataFile* file = openFile(stream)) {
    const auto bytes = rt::text::bytes(text);
    file->write(bytes.data(), bytes.size());
  }
}

// Longer texts are cut to the 255 bytes a length byte can announce.
void BinaryStreamWritePString(RTObject* stream, RTString text) {
  UnixDataFile* file = openFile(stream);
  if (file == nullptr) return;
  const auto bytes = rt::text::bytes(text);
  const unsigned char length = static_cast<unsigned char>(std::min<std::size_t>(bytes.size(), 255));
  if (file->write(&length, 1)) file->write(bytes.data(), length);
}

int64_t BinaryStreamLengthGetter(RTObject* stream) {
  UnixDataFile* file = openFile(stream);
  return file != nullptr ? std::max<int64_t>(file->length(), 0) : 0;
}

void BinaryStreamLengthSetter(RTObject* stream, int64_t length) {
  if (UnixDataFile* file = openFile(stream)) file->setLength(length);
}

int64_t BinaryStreamPositionGetter(RTObject* stream) {
  UnixDataFile* file = openFile(stream);
  return file != nullptr ? file->position() : 0;
}

void BinaryStreamPositionSetter(RTObject* stream, int64_t position) {
  if (UnixDataFile* file = openFile(stream)) file->setPosition(position);
}

uint8_t BinaryStreamEOFGetter(RTObject* stream) {
  UnixDataFile* file = openFile(stream);
  return file == nullptr || file->endOfFile();
}

void BinaryStreamFlush(RTObject* stream) {
  if (UnixDataFile* file = openFile(stream)) file->flush();
}

void BinaryStreamClose(RTObject* stream) {
  BinaryStreamObject* fields = fieldsOf(stream);
  if (fields == nullptr || fields->file == nullptr) return;
  closeStreamFile(fields->file, fields->lastError);
}

int32_t BinaryStreamLastErrorGetter(RTObject* stream) {
  BinaryStreamObject* fields = fieldsOf(stream);
  if (fields == nullptr) return 0;
  return streamError(fields->file, fields->lastError);
}

uint8_t BinaryStreamReadErrorGetter(RTObject* stream) {
  return BinaryStreamLastErrorGetter(stream) != 0;
}

uint8_t BinaryStreamWriteErrorGetter(RTObject* stream) {
  return BinaryStreamLastErrorGetter(stream) != 0;
}

}  // extern "C"
