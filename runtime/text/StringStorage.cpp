#include "text/StringStorage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host/FailureReport.h"
#include "text/Encodings.h"
#include "text/SmallBlockAllocator.h"
#include "text/StringApi.h"

namespace rt::text {
namespace {

constexpr const char* kSourceFile = "../Universal/TOLVstring";

// The capacity, length + 2, is a 32-bit field, and the size of the whole
// block must not wrap around, which on 32-bit x86 comes first.
constexpr std::size_t kLongestString =
    std::min<std::size_t>(UINT32_MAX - 2, SIZE_MAX - offsetof(StringBlock, lengthByte) - 2);

void freeBlock(RTString s) { memory::release(s, StringBlockSize(s->length)); }

}  // namespace

RTString makeString(const void* bytes, std::size_t length, std::uint32_t encoding) {
  if (length == 0) return nullptr;
  if (length > kLongestString) memory::outOfMemory();
  const auto textLength = static_cast<std::uint32_t>(length);
  auto* block = static_cast<StringBlock*>(memory::allocate(StringBlockSize(textLength)));
  block->refCount = 1;
  block->buffer = &block->lengthByte;
  block->capacity = textLength + 2;
  block->length = textLength;
  block->encoding = encoding;
  block->lengthByte = static_cast<unsigned char>(std::min<std::uint32_t>(textLength, 255));
  if (bytes != nullptr) std::memcpy(block->text, bytes, length);
  block->text[length] = '\0';
  return block;
}

std::uint32_t encodingOf(RTString s) { return s ? s->encoding : kEncodingASCII; }

RTString& makeUnique(RTString& s) {
  if (s != nullptr && s->refCount != 1) {
    RTString copy = makeString(s->text, s->length, s->encoding);
    RuntimeUnlockString(s);
    s = copy;
  }
  return s;
}

void writeByte(RTString& s, std::int32_t position, char value) {
  if (s == nullptr) {
    if (position != 0) reportAssertion(kSourceFile, __LINE__, "not pos");
    return;
  }
  if (position < 0 || static_cast<std::uint32_t>(position) >= s->length) {
    reportAssertion(kSourceFile, __LINE__, "not (pos < 0 || pos >= Length())");
    return;
  }
  makeUnique(s)->text[position] = value;
}

}  // namespace rt::text

using rt::text::makeString;

extern "C" {

void RuntimeLockString(RTString s) {
  if (s != nullptr) ++s->refCount;
}

void RuntimeUnlockString(RTString s) {
  if (s != nullptr && --s->refCount == 0) rt::text::freeBlock(s);
}

void RuntimeLockUnlockStrings(RTString newValue, RTString oldValue) {
  if (newValue == oldValue) return;
  RuntimeLockString(newValue);
  RuntimeUnlockString(oldValue);
}

RTString TOLVBuildString(const void* bytes, uint32_t length) {
  return makeString(bytes, length, kEncodingUnknown);
}

RTString StringFromCString(const char* text) {
  if (text == nullptr) return nullptr;
  return makeString(text, std::strlen(text), kEncodingASCII);
}

RTString StringFromPString(const unsigned char* pascalText) {
  if (pascalText == nullptr) return nullptr;
  return makeString(pascalText + 1, pascalText[0], kEncodingASCII);
}

RTString StringFromWString(const wchar_t* text) {
  if (text == nullptr) return nullptr;
  static_assert(sizeof(wchar_t) == 4 || sizeof(wchar_t) == 2);
  constexpr std::uint32_t kWideEncoding = sizeof(wchar_t) == 4 ? kEncodingUTF32 : kEncodingUTF16;
  return makeString(text, std::wcslen(text) * sizeof(wchar_t), kWideEncoding);
}

const char* StringGetCString(RTString s) { return s ? s->text : ""; }

const unsigned char* StringGetPString(RTString s) {
  static const unsigned char kEmpty[2] = {0, 0};
  return s ? s->buffer : kEmpty;
}

uint32_t TOLVStringLength(RTString s) { return rt::text::length(s); }

uint32_t TOLVGetStringEncoding(RTString s) { return rt::text::encodingOf(s); }

void TOLVSetStringEncoding(RTString s, uint32_t encoding) {
  if (s != nullptr) s->encoding = encoding;
}

RTString RuntimeGetStructureString(const void* base, int32_t offset, int32_t size) {
  if (base == nullptr || size <= 0) return nullptr;
  const auto* bytes = static_cast<const char*>(base) + offset;
  auto length = static_cast<std::size_t>(size);
  while (length > 0 && bytes[length - 1] == '\0') --length;
  return makeString(bytes, length, kEncodingUnknown);
}

void RuntimeSetStructureString(void* base, int32_t offset, int32_t size, RTString s) {
  if (size <= 0) return;
  if (offset < 0) {
    rt::reportAssertion("../Common/RuntimeStringFoundation", __LINE__, "offset >= 0");
    return;
  }
  if (base == nullptr) {
    rt::reportAssertion("../Common/RuntimeStringFoundation", __LINE__, "buf");
    return;
  }
  char* target = static_cast<char*>(base) + offset;
  const auto count = std::min<std::size_t>(static_cast<std::size_t>(size), rt::text::length(s));
  if (count > 0) std::memcpy(target, s->text, count);
  std::memset(target + count, 0, static_cast<std::size_t>(size) - count);
}

}  // extern "C"
