#include "text/StringCompare.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "text/StringApi.h"
#include "text/StringStorage.h"

// Interim byte-level versions; the encoding-aware ones replace them.
extern "C" RTString RuntimeAddString(RTString left, RTString right) {
  if (right == nullptr) {
    RuntimeLockString(left);
    return left;
  }
  if (left == nullptr) {
    RuntimeLockString(right);
    return right;
  }
  RTString joined = rt::text::makeString(nullptr, left->length + right->length, left->encoding);
  std::memcpy(joined->text, left->text, left->length);
  std::memcpy(joined->text + left->length, right->text, right->length);
  return joined;
}

extern "C" int32_t RuntimeStringCompare(RTString a, RTString b) {
  if (a == b) return 0;
  if (a == nullptr) return -1;
  if (b == nullptr) return 1;
  const int c = strncasecmp(a->text, b->text, std::min(a->length, b->length));
  if (c != 0) return c < 0 ? -1 : 1;
  return a->length == b->length ? 0 : (a->length < b->length ? -1 : 1);
}
