// rt::TextInputStream, the counted C++ handle on a text input stream: lines
// ended by LF, CR or CR LF. Failures do not throw: reads give the empty string
// and the error shows in lastErrorCode(); a closed stream reads nothing.
#pragma once

#include <cstdint>

#include "objects/ObjectHandle.h"
#include "text/StringHandle.h"

namespace rt {

class TextInputStream {
 public:
  TextInputStream() = default;
  explicit TextInputStream(Object stream) : stream_(std::move(stream)) {}

  explicit operator bool() const { return static_cast<bool>(stream_); }
  const Object& object() const { return stream_; }

  // Results are tagged with the encoding object's word (nil: the stream's
  // encoding, UTF-8 unless set).
  String readLine(const Object& encoding = Object());
  String read(std::int32_t count, const Object& encoding = Object());
  String readAll(const Object& encoding = Object());

  bool eof() const;
  std::int64_t position() const;
  void setPosition(std::int64_t position);
  Object encoding() const;
  void setEncoding(const Object& encoding);
  void close();
  std::int32_t lastErrorCode() const;

 private:
  Object stream_;
};

}  // namespace rt
