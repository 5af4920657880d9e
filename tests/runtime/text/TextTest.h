// Fixture and string makers shared by the text tests.
#pragma once

#include <string>
#include <string_view>

#include "support/RuntimeFixture.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringHandle.h"

namespace rt::test {

// The conversion cache keeps two references alive between calls; emptying it
// on both sides of a test keeps the allocator's balance exact.
class TextTest : public RuntimeTest {
 protected:
  void SetUp() override {
    text::clearConversionCache();
    RuntimeTest::SetUp();
  }
  void TearDown() override {
    text::clearConversionCache();
    RuntimeTest::TearDown();
  }
};

inline String ascii(std::string_view text) { return String::bytes(text, kEncodingASCII); }

inline String utf16(std::u16string_view text) {
  return String::bytes({reinterpret_cast<const char*>(text.data()), text.size() * 2},
                       kEncodingUTF16);
}

inline String utf32(std::u32string_view text) {
  return String::bytes({reinterpret_cast<const char*>(text.data()), text.size() * 4},
                       kEncodingUTF32);
}

// The bytes of native-order wide text, for comparing results.
inline std::string wideBytes(std::u16string_view text) {
  return {reinterpret_cast<const char*>(text.data()), text.size() * 2};
}
inline std::string wideBytes(std::u32string_view text) {
  return {reinterpret_cast<const char*>(text.data()), text.size() * 4};
}

inline std::uint32_t refCount(const String& s) { return s.get()->refCount; }

}  // namespace rt::test
