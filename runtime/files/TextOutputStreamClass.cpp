#include <array>
#include <cstddef>

#include "files/FileObjects.h"
#include "files/FileStreamApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/FieldAccessors.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"

namespace rt::files {
namespace {

TextOutputStreamObject* fieldsOf(RTObject* stream) {
  if (stream == nullptr) RaiseNilObjectException();
  return reinterpret_cast<TextOutputStreamObject*>(stream);
}

UnixDataFile* openFile(RTObject* stream) {
  TextOutputStreamObject* fields = fieldsOf(stream);
  return fields != nullptr ? fields->file : nullptr;
}

void finalizeTextOutputStream(RTObject* object) {
  auto* stream = reinterpret_cast<TextOutputStreamObject*>(object);
  delete stream->file;
  stream->file = nullptr;
  RuntimeUnlockString(stream->delimiter);
  stream->delimiter = nullptr;
}

void writeBytes(UnixDataFile& file, RTString text) {
  const auto bytes = text::bytes(text);
  file.write(bytes.data(), bytes.size());
}

// The Delimiter, or the platform's line feed, in the encoding of the line it
// ends, so that a UTF-16 line gets a UTF-16 ending.
RTString lineEnding(const TextOutputStreamObject& stream, RTString line) {
  RTString ending = stream.delimiter;
  RuntimeLockString(ending);
  if (ending == nullptr) ending = text::makeString("\n", kEncodingASCII);
  const std::uint32_t from = text::encodingOf(ending);
  const std::uint32_t to = text::encodingOf(line);
  if (from == kEncodingUnknown || from == to) return ending;
  RTString converted = text::convertEncoding(ending, to);
  RuntimeUnlockString(ending);
  return converted;
}

using Function = void*;

const std::array kTextOutputStreamMethods{
    method("WriteLine%%o<TextOutputStream>s", &TextOutputStreamWriteLine),
    method("Write%%o<TextOutputStream>s", &TextOutputStreamWrite),
    method("Flush%%o<TextOutputStream>", &TextOutputStreamFlush),
    method("Close%%o<TextOutputStream>", &TextOutputStreamClose),
};

const std::array kTextOutputStreamProperties{
    PropertyDefinition{"Delimiter", reinterpret_cast<Function>(&stringGetter),
                       reinterpret_cast<Function>(&stringSetter),
                       offsetof(TextOutputStreamObject, delimiter)},
    PropertyDefinition{"LastErrorCode",
                       reinterpret_cast<Function>(&TextOutputStreamLastErrorGetter), nullptr, 0},
    PropertyDefinition{"WriteError", reinterpret_cast<Function>(&TextOutputStreamWriteErrorGetter),
                       nullptr, 0},
};

}  // namespace

const ClassDefinition textOutputStreamClass{"TextOutputStream",
                                            nullptr,
                                            sizeof(TextOutputStreamObject),
                                            nullptr,
                                            &finalizeTextOutputStream,
                                            kTextOutputStreamMethods,
                                            kTextOutputStreamProperties,
                                            {}};

RTObject* newTextOutputStream(std::unique_ptr<UnixDataFile> file) {
  RTObject* object = RuntimeNewObject(objects::classFor(textOutputStreamClass));
  if (object != nullptr) reinterpret_cast<TextOutputStreamObject*>(object)->file = file.release();
  return object;
}

}  // namespace rt::files

using namespace rt::files;

extern "C" {

void TextOutputStreamWriteLine(RTObject* stream, RTString line) {
  UnixDataFile* file = openFile(stream);
  if (file == nullptr) return;
  writeBytes(*file, line);
  RTString ending = lineEnding(*reinterpret_cast<TextOutputStreamObject*>(stream), line);
  writeBytes(*file, ending);
  RuntimeUnlockString(ending);
}

void TextOutputStreamWrite(RTObject* stream, RTString text) {
  if (UnixDataFile* file = openFile(stream)) writeBytes(*file, text);
}

void TextOutputStreamFlush(RTObject* stream) {
  if (UnixDataFile* file = openFile(stream)) file->flush();
}

void TextOutputStreamClose(RTObject* stream) {
  TextOutputStreamObject* fields = fieldsOf(stream);
  if (fields == nullptr || fields->file == nullptr) return;
  closeStreamFile(fields->file, fields->lastError);
}

int32_t TextOutputStreamLastErrorGetter(RTObject* stream) {
  TextOutputStreamObject* fields = fieldsOf(stream);
  if (fields == nullptr) return 0;
  return streamError(fields->file, fields->lastError);
}

uint8_t TextOutputStreamWriteErrorGetter(RTObject* stream) {
  return TextOutputStreamLastErrorGetter(stream) != 0;
}

}  // extern "C"
