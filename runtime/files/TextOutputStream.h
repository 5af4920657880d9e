// rt::TextOutputStream, the counted C++ handle on a text output stream. Each
// line ends with the delimiter, a line feed unless set. Failures do not
// throw: they show in lastErrorCode(); a closed stream writes nothing.
#pragma once

#include <cstdint>

#include "objects/ObjectHandle.h"
#include "text/StringHandle.h"

namespace rt {

class TextOutputStream {
 public:
  TextOutputStream() = default;
  explicit TextOutputStream(Object stream) : stream_(std::move(stream)) {}

  explicit operator bool() const { return static_cast<bool>(stream_); }
  const Object& object() const { return stream_; }

  void writeLine(const String& line);
  void write(const String& text);
  String delimiter() const;
  void setDelimiter(const String& delimiter);
  void flush();
  void close();
  std::int32_t lastErrorCode() const;

 private:
  Object stream_;
};

}  // namespace rt
