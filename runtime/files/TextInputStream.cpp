#include "files/TextInputStream.h"

#include <cstddef>

#include "files/Checked.h"
#include "files/FileObjects.h"
#include "files/FileStreamApi.h"
#include "objects/FieldAccessors.h"

namespace rt {
namespace {

using files::call;
using files::checked;

constexpr std::intptr_t kEncodingOffset = offsetof(files::TextInputStreamObject, encoding);

}  // namespace

String TextInputStream::readLine(const Object& encoding) {
  return checked(String::adopt(TextInputStreamReadLine(stream_.get(), encoding.get())));
}

String TextInputStream::read(std::int32_t count, const Object& encoding) {
  return checked(String::adopt(TextInputStreamRead(stream_.get(), count, encoding.get())));
}

String TextInputStream::readAll(const Object& encoding) {
  return checked(String::adopt(TextInputStreamReadAll(stream_.get(), encoding.get())));
}

bool TextInputStream::eof() const { return checked(TextInputStreamEOFGetter(stream_.get())) != 0; }

std::int64_t TextInputStream::position() const {
  return checked(TextInputStreamPositionGetter(stream_.get()));
}

void TextInputStream::setPosition(std::int64_t position) {
  call(TextInputStreamPositionSetter, stream_.get(), position);
}

Object TextInputStream::encoding() const {
  files::requireObject(stream_);
  return Object::adopt(objGetter(stream_.get(), kEncodingOffset));
}

void TextInputStream::setEncoding(const Object& encoding) {
  files::requireObject(stream_);
  objSetter(stream_.get(), kEncodingOffset, encoding.get());
}

void TextInputStream::close() { call(TextInputStreamClose, stream_.get()); }

std::int32_t TextInputStream::lastErrorCode() const {
  return checked(TextInputStreamLastErrorGetter(stream_.get()));
}

}  // namespace rt
