#include "text/EncodingConversion.h"

#include <algorithm>
#include <utility>

#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"
#include "text/TextForm.h"
#include "text/Transcoder.h"

namespace rt::text {
namespace {

// One entry: comparing one string with many others (a chain of command word
// comparisons) converts it once. It holds a reference to the source, so the
// block cannot be freed and its address reused while it is remembered.
class ConversionCache {
 public:
  ~ConversionCache() { clear(); }

  bool holds(RTString source, std::uint32_t target) const {
    return source_ != nullptr && source == source_ && target == target_ &&
           source->encoding == sourceEncoding_;
  }

  // Returns a new reference to the remembered result.
  RTString result() const {
    RuntimeLockString(result_);
    return result_;
  }

  void remember(RTString source, std::uint32_t target, RTString result) {
    RuntimeLockString(source);
    RuntimeLockString(result);
    clear();
    source_ = source;
    sourceEncoding_ = source->encoding;
    target_ = target;
    result_ = result;
  }

  void clear() {
    RTString source = std::exchange(source_, nullptr);
    RTString result = std::exchange(result_, nullptr);
    RuntimeUnlockString(source);
    RuntimeUnlockString(result);
  }

 private:
  RTString source_ = nullptr;
  std::uint32_t sourceEncoding_ = 0;
  std::uint32_t target_ = 0;
  RTString result_ = nullptr;
};

ConversionCache& cache() {
  static ConversionCache c;
  return c;
}

bool allBytesBelow0x80(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool needsNoTranscoding(RTString s, std::uint32_t target) {
  return sevenBitIsAscii(target) && sevenBitIsAscii(s->encoding) &&
         (s->encoding == kEncodingASCII || allBytesBelow0x80(bytes(s)));
}

bool needsNoConversion(RTString s, std::uint32_t target) {
  return target == kEncodingUnknown || s == nullptr || s->encoding == kEncodingUnknown ||
         s->encoding == target;
}

// ASCII pairs with UTF-8 and every other encoding but UTF-16; otherwise the two
// meet in UTF-8, or in UTF-16 when one of them is UTF-16 and the other not UTF-8.
std::uint32_t commonTarget(std::uint32_t a, std::uint32_t b) {
  if (a == kEncodingASCII && !EncodingIsUTF16Family(b)) return b;
  if (b == kEncodingASCII && !EncodingIsUTF16Family(a)) return a;
  if ((EncodingIsUTF16Family(a) && b != kEncodingUTF8) ||
      (EncodingIsUTF16Family(b) && a != kEncodingUTF8)) {
    return kEncodingUTF16;
  }
  return kEncodingUTF8;
}

// The bytes of s in the target encoding, or false when it cannot get there.
// Relabelling needs no copy: the view is s's own bytes.
bool viewIn(RTString s, std::uint32_t target, std::string_view& view, String& holder) {
  view = bytes(s);
  if (s->encoding == target || needsNoTranscoding(s, target)) return true;
  holder = String::adopt(convertEncoding(s, target));
  if (!holder || holder.encoding() != target) return false;
  view = holder.view();
  return true;
}

}  // namespace

RTString convertEncoding(RTString s, std::uint32_t target) {
  if (needsNoConversion(s, target)) {
    RuntimeLockString(s);
    return s;
  }
  if (cache().holds(s, target)) return cache().result();
  RTString result = needsNoTranscoding(s, target) ? makeString(bytes(s), target)
                                                  : transcode(s, s->encoding, target);
  cache().remember(s, target, result);
  return result;
}

void clearConversionCache() { cache().clear(); }

TextPair commonEncoding(RTString first, RTString second) {
  TextPair pair;
  pair.encoding = encodingOf(first == nullptr ? second : first);
  pair.first = bytes(first);
  pair.second = bytes(second);
  if (first == nullptr || second == nullptr || first->encoding == second->encoding) return pair;
  pair.wideSource = isWide(first->encoding) || isWide(second->encoding);
  pair.encoding = kEncodingUnknown;
  if (first->encoding == kEncodingUnknown || second->encoding == kEncodingUnknown) return pair;
  const std::uint32_t target = commonTarget(first->encoding, second->encoding);
  std::string_view firstView, secondView;
  String firstHolder, secondHolder;
  if (viewIn(first, target, firstView, firstHolder) &&
      viewIn(second, target, secondView, secondHolder)) {
    pair.encoding = target;
    pair.first = firstView;
    pair.second = secondView;
    pair.firstHolder = std::move(firstHolder);
    pair.secondHolder = std::move(secondHolder);
  }
  return pair;
}

}  // namespace rt::text
