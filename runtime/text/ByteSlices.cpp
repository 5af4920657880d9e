#include "text/ByteSlices.h"

#include <algorithm>

#include "text/StringApi.h"
#include "text/StringStorage.h"

namespace rt::text {
namespace {

RTString shared(RTString s) {
  RuntimeLockString(s);
  return s;
}

RTString copyRange(RTString s, std::int64_t start0, std::int64_t count) {
  return makeString(s->text + start0, static_cast<std::size_t>(count), s->encoding);
}

}  // namespace

RTString leftBytes(RTString s, std::int64_t n) {
  if (n >= length(s)) return shared(s);
  if (n < 1) return nullptr;
  return copyRange(s, 0, n);
}

RTString rightBytes(RTString s, std::int64_t n) {
  const std::int64_t size = length(s);
  if (n >= size) return shared(s);
  if (n < 1) return nullptr;
  return copyRange(s, size - n, n);
}

RTString midBytes(RTString s, std::int64_t start0, std::int64_t count) {
  const std::int64_t size = length(s);
  if (start0 < 0) {
    count += start0;
    start0 = 0;
  }
  if (start0 >= size || count < 1) return nullptr;
  if (start0 == 0 && count >= size) return shared(s);
  return copyRange(s, start0, std::min(count, size - start0));
}

RTString restBytes(RTString s, std::int64_t start0) {
  start0 = std::max<std::int64_t>(start0, 0);
  if (start0 >= length(s)) return nullptr;
  if (start0 == 0) return shared(s);
  return copyRange(s, start0, length(s) - start0);
}

}  // namespace rt::text
