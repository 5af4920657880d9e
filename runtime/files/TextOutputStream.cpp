#include "files/TextOutputStream.h"

#include <cstddef>

#include "files/Checked.h"
#include "files/FileObjects.h"
#include "files/FileStreamApi.h"
#include "objects/FieldAccessors.h"

namespace rt {
namespace {

using files::call;
using files::checked;

constexpr std::intptr_t kDelimiterOffset = offsetof(files::TextOutputStreamObject, delimiter);

}  // namespace

void TextOutputStream::writeLine(const String& line) {
  call(TextOutputStreamWriteLine, stream_.get(), line.get());
}

void TextOutputStream::write(const String& text) {
  call(TextOutputStreamWrite, stream_.get(), text.get());
}

String TextOutputStream::delimiter() const {
  files::requireObject(stream_);
  return String::adopt(stringGetter(stream_.get(), kDelimiterOffset));
}

void TextOutputStream::setDelimiter(const String& delimiter) {
  files::requireObject(stream_);
  stringSetter(stream_.get(), kDelimiterOffset, delimiter.get());
}

void TextOutputStream::flush() { call(TextOutputStreamFlush, stream_.get()); }

void TextOutputStream::close() { call(TextOutputStreamClose, stream_.get()); }

std::int32_t TextOutputStream::lastErrorCode() const {
  return checked(TextOutputStreamLastErrorGetter(stream_.get()));
}

}  // namespace rt
