#include "console/ConsoleWriter.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "text/Encodings.h"
#include "text/StringStorage.h"

namespace rt::console {
namespace {

void appendUtf8(std::string& out, std::uint32_t codePoint) {
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = 0xFFFD;
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

// Wide text is stored in the machine's byte order.
std::string fromUtf16(std::string_view bytes) {
  std::string out;
  const std::size_t units = bytes.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    std::uint16_t unit;
    std::memcpy(&unit, bytes.data() + 2 * i, 2);
    std::uint32_t codePoint = unit;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
      std::uint16_t low;
      std::memcpy(&low, bytes.data() + 2 * (i + 1), 2);
      if (low >= 0xDC00 && low < 0xE000) {
        codePoint = 0x10000 + ((unit - 0xD800u) << 10) + (low - 0xDC00u);
        ++i;
      }
    }
    appendUtf8(out, codePoint);
  }
  return out;
}

std::string fromUtf32(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    std::uint32_t codePoint;
    std::memcpy(&codePoint, bytes.data() + i, 4);
    appendUtf8(out, codePoint);
  }
  return out;
}

}  // namespace

void writeText(std::FILE* stream, RTString s) {
  if (s == nullptr) return;
  const std::string_view bytes = text::bytes(s);
  const std::uint32_t encoding = text::encodingOf(s);
  // Byte text goes out unchanged (fwrite keeps embedded zero bytes); wide text
  // is converted to the system encoding first. A console that cannot be
  // written to has no one to tell.
  if (EncodingIsUTF16Family(encoding)) {
    const std::string converted = fromUtf16(bytes);
    (void)std::fwrite(converted.data(), 1, converted.size(), stream);
  } else if (encoding == kEncodingUTF32) {
    const std::string converted = fromUtf32(bytes);
    (void)std::fwrite(converted.data(), 1, converted.size(), stream);
  } else {
    (void)std::fwrite(bytes.data(), 1, bytes.size(), stream);
  }
  (void)std::fflush(stream);
}

}  // namespace rt::console
