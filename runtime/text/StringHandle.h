// rt::String, the counted C++ handle over string blocks that the application
// and the tests use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "objects/Ref.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringCompare.h"
#include "text/StringStorage.h"

namespace rt {

struct StringTraits {
  static void lock(RTString s) { RuntimeLockString(s); }
  static void unlock(RTString s) { RuntimeUnlockString(s); }
};

class String : public Ref<StringBlock, StringTraits> {
 public:
  using Base = Ref<StringBlock, StringTraits>;
  using Base::Base;
  String(Base base) : Base(std::move(base)) {}
  // Text as the module's constants carry it: UTF-8.
  String(std::string_view utf8) : Base(adopt(text::makeString(utf8, kEncodingUTF8))) {}
  String(const char* utf8) : String(std::string_view(utf8)) {}

  [[nodiscard]] static String adopt(RTString owned) { return String(Base::adopt(owned)); }
  [[nodiscard]] static String bytes(std::string_view bytes, std::uint32_t encoding) {
    return adopt(text::makeString(bytes, encoding));
  }

  std::string_view view() const { return text::bytes(get()); }
  std::string str() const { return std::string(view()); }
  std::uint32_t length() const { return text::length(get()); }
  std::uint32_t encoding() const { return text::encodingOf(get()); }
  bool empty() const { return get() == nullptr; }

  friend String operator+(const String& a, const String& b) {
    return adopt(RuntimeAddString(a.get(), b.get()));
  }
  // Case-insensitive, as every comparison of the language.
  friend int compare(const String& a, const String& b) { return RuntimeStringCompare(a.get(), b.get()); }
  friend bool operator==(const String& a, const String& b) { return compare(a, b) == 0; }
  friend bool operator<(const String& a, const String& b) { return compare(a, b) < 0; }
};

}  // namespace rt
