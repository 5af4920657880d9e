#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

#include "files/FileObjects.h"
#include "files/FileStreamApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/FieldAccessors.h"
#include "text/Encodings.h"
#include "text/StringStorage.h"
#include "text/TextEncodingClass.h"

namespace rt::files {
namespace {

constexpr unsigned char kLineFeed = 10;
constexpr unsigned char kCarriageReturn = 13;
constexpr std::size_t kReadAllChunk = 65536;

TextInputStreamObject* fieldsOf(RTObject* stream) {
  if (stream == nullptr) RaiseNilObjectException();
  return reinterpret_cast<TextInputStreamObject*>(stream);
}

// The fields of a stream that is open, or null when it is nil or closed.
TextInputStreamObject* openStream(RTObject* stream) {
  TextInputStreamObject* fields = fieldsOf(stream);
  return fields != nullptr && fields->file != nullptr ? fields : nullptr;
}

void finalizeTextInputStream(RTObject* object) {
  auto* stream = reinterpret_cast<TextInputStreamObject*>(object);
  delete stream->file;
  stream->file = nullptr;
  RuntimeUnlockObject(stream->encoding);
  stream->encoding = nullptr;
}

// One read of up to a buffer's worth; false when nothing came.
bool refill(TextInputStreamObject& stream) {
  std::size_t got = 0;
  stream.file->read(stream.buffer, kTextInputBufferSize, got);
  stream.bufferPosition = 0;
  stream.bufferFill = static_cast<std::int32_t>(got);
  return got > 0;
}

std::int32_t unread(const TextInputStreamObject& stream) {
  return stream.bufferFill - stream.bufferPosition;
}

// Moves up to count buffered bytes to text.
void takeBuffered(TextInputStreamObject& stream, std::string& text, std::size_t count) {
  const std::size_t taken = std::min<std::size_t>(count, unread(stream));
  text.append(reinterpret_cast<const char*>(stream.buffer + stream.bufferPosition), taken);
  stream.bufferPosition += static_cast<std::int32_t>(taken);
}

// Appends up to count bytes read directly from the file; returns the count read.
std::size_t readDirect(TextInputStreamObject& stream, std::string& text, std::size_t count) {
  const std::size_t start = text.size();
  text.resize(start + count);
  std::size_t got = 0;
  stream.file->read(text.data() + start, count, got);
  text.resize(start + got);
  return got;
}

RTString tagged(const std::string& text, RTObject* encoding, const TextInputStreamObject& stream) {
  const std::uint32_t word = text::encodingOfObject(encoding != nullptr ? encoding : stream.encoding);
  return text::makeString(text, word);
}

// A line ends at LF, CR or CR LF; the pair may straddle two buffer fills.
std::string readLine(TextInputStreamObject& stream) {
  std::string line;
  for (;;) {
    const unsigned char* begin = stream.buffer + stream.bufferPosition;
    const unsigned char* end = stream.buffer + stream.bufferFill;
    const unsigned char* stop = std::find_if(
        begin, end, [](unsigned char c) { return c == kLineFeed || c == kCarriageReturn; });
    line.append(reinterpret_cast<const char*>(begin), stop - begin);
    stream.bufferPosition += static_cast<std::int32_t>(stop - begin);
    if (stop != end) break;
    if (stream.file->endOfFile() || !refill(stream)) return line;
  }
  const unsigned char terminator = stream.buffer[stream.bufferPosition++];
  if (terminator == kCarriageReturn) {
    if (unread(stream) == 0 && !stream.file->endOfFile()) refill(stream);
    if (unread(stream) > 0 && stream.buffer[stream.bufferPosition] == kLineFeed) {
      ++stream.bufferPosition;
    }
  }
  return line;
}

using Function = void*;

const std::array kTextInputStreamMethods{
    method("ReadLine%s%o<TextInputStream>o<TextEncoding>", &TextInputStreamReadLine),
    method("Read%s%o<TextInputStream>i4o<TextEncoding>", &TextInputStreamRead),
    method("ReadAll%s%o<TextInputStream>o<TextEncoding>", &TextInputStreamReadAll),
    method("Close%%o<TextInputStream>", &TextInputStreamClose),
};

const std::array kTextInputStreamProperties{
    PropertyDefinition{"EOF", reinterpret_cast<Function>(&TextInputStreamEOFGetter), nullptr, 0},
    PropertyDefinition{"Position", reinterpret_cast<Function>(&TextInputStreamPositionGetter),
                       reinterpret_cast<Function>(&TextInputStreamPositionSetter), 0},
    PropertyDefinition{"Encoding", reinterpret_cast<Function>(&objGetter),
                       reinterpret_cast<Function>(&objSetter),
                       offsetof(TextInputStreamObject, encoding)},
    PropertyDefinition{"LastErrorCode",
                       reinterpret_cast<Function>(&TextInputStreamLastErrorGetter), nullptr, 0},
    PropertyDefinition{"ReadError", reinterpret_cast<Function>(&TextInputStreamReadErrorGetter),
                       nullptr, 0},
};

}  // namespace

const ClassDefinition textInputStreamClass{"TextInputStream",
                                           nullptr,
                                           sizeof(TextInputStreamObject),
                                           nullptr,
                                           &finalizeTextInputStream,
                                           kTextInputStreamMethods,
                                           kTextInputStreamProperties,
                                           {}};

RTObject* newTextInputStream(std::unique_ptr<UnixDataFile> file) {
  RTObject* object = RuntimeNewObject(objects::classFor(textInputStreamClass));
  if (object == nullptr) return nullptr;
  auto* stream = reinterpret_cast<TextInputStreamObject*>(object);
  stream->file = file.release();
  stream->encoding = text::newTextEncoding(kEncodingUTF8);
  return object;
}

}  // namespace rt::files

using namespace rt::files;

extern "C" {

RTString TextInputStreamReadLine(RTObject* stream, RTObject* encoding) {
  TextInputStreamObject* fields = openStream(stream);
  if (fields == nullptr) return nullptr;
  return tagged(readLine(*fields), encoding, *fields);
}

RTString TextInputStreamRead(RTObject* stream, int32_t count, RTObject* encoding) {
  TextInputStreamObject* fields = openStream(stream);
  if (fields == nullptr || count < 1) return nullptr;
  std::string text;
  takeBuffered(*fields, text, static_cast<std::size_t>(count));
  const std::int64_t wanted = count - static_cast<std::int64_t>(text.size());
  const std::int64_t left = fields->file->length() - fields->file->position();
  if (std::min(wanted, left) > 0) readDirect(*fields, text, std::min(wanted, left));
  return tagged(text, encoding, *fields);
}

RTString TextInputStreamReadAll(RTObject* stream, RTObject* encoding) {
  TextInputStreamObject* fields = openStream(stream);
  if (fields == nullptr) return nullptr;
  std::string text;
  takeBuffered(*fields, text, unread(*fields));
  while (readDirect(*fields, text, kReadAllChunk) > 0) {
  }
  return tagged(text, encoding, *fields);
}

uint8_t TextInputStreamEOFGetter(RTObject* stream) {
  TextInputStreamObject* fields = openStream(stream);
  return fields == nullptr || (unread(*fields) == 0 && fields->file->endOfFile());
}

int64_t TextInputStreamPositionGetter(RTObject* stream) {
  TextInputStreamObject* fields = openStream(stream);
  return fields != nullptr ? fields->file->position() - unread(*fields) : 0;
}

void TextInputStreamPositionSetter(RTObject* stream, int64_t position) {
  TextInputStreamObject* fields = openStream(stream);
  if (fields == nullptr) return;
  fields->bufferPosition = fields->bufferFill = 0;
  if (fields->file->setPosition(position)) refill(*fields);
}

void TextInputStreamClose(RTObject* stream) {
  TextInputStreamObject* fields = fieldsOf(stream);
  if (fields == nullptr || fields->file == nullptr) return;
  closeStreamFile(fields->file, fields->lastError);
  fields->bufferPosition = fields->bufferFill = 0;
}

int32_t TextInputStreamLastErrorGetter(RTObject* stream) {
  TextInputStreamObject* fields = fieldsOf(stream);
  if (fields == nullptr) return 0;
  return streamError(fields->file, fields->lastError);
}

uint8_t TextInputStreamReadErrorGetter(RTObject* stream) {
  return TextInputStreamLastErrorGetter(stream) != 0;
}

}  // extern "C"
