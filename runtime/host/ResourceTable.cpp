#include "host/ResourceTable.h"

#include <cstring>
#include <string>

#include "host/FailureReport.h"

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/loaderX86";
// Type, id, four reserved bytes, length.
constexpr std::size_t kResourceHeaderSize = 14;
constexpr std::size_t kVersionFixedBytes = 24;
constexpr std::size_t kVersionStrings = 3;

template <class Value>
Value readLittleEndian(const std::uint8_t* at) {
  Value value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

void reportMalformed(const char* what, std::size_t at) {
  const std::string detail = std::string("Malformed module image: ") + what + " at offset " +
                             std::to_string(at) + " passes the end of its part";
  reportAssertion(kSourceFile, __LINE__, "length <= remaining", detail.c_str());
}

// Length of a version record after its kind byte, or 0 when it does not fit.
std::size_t versionRecordLength(std::span<const std::uint8_t> rest) {
  std::size_t length = kVersionFixedBytes;
  for (std::size_t i = 0; i < kVersionStrings; ++i) {
    if (length >= rest.size()) return 0;
    length += 1 + rest[length];
  }
  return length <= rest.size() ? length : 0;
}

}  // namespace

void ResourceTable::registerResources(std::span<const std::uint8_t> part, std::uint64_t fileOffset) {
  std::size_t at = 0;
  while (at < part.size()) {
    if (part.size() - at < kResourceHeaderSize) return reportMalformed("a resource header", at);
    const auto type = readLittleEndian<std::uint32_t>(&part[at]);
    const auto id = readLittleEndian<std::uint16_t>(&part[at + 4]);
    const auto length = readLittleEndian<std::uint32_t>(&part[at + 10]);
    at += kResourceHeaderSize;
    if (length > part.size() - at) return reportMalformed("a resource", at - kResourceHeaderSize);
    entries_.push_back({type, id, part.data() + at, length, fileOffset + at});
    at += length;
  }
}

void ResourceTable::registerOptions(std::span<const std::uint8_t> part) {
  std::size_t at = 0;
  while (at < part.size()) {
    const std::uint8_t kind = part[at++];
    if (kind == 1) {
      if (part.size() - at < 2) return reportMalformed("an option record", at - 1);
      const std::size_t skipped = std::size_t{part[at]} * part[at + 1] * 4;
      if (skipped > part.size() - at - 2) return reportMalformed("an option record", at - 1);
      at += 2 + skipped;
    } else if (kind == 2) {
      const std::size_t length = versionRecordLength(part.subspan(at));
      if (length == 0) return reportMalformed("a version record", at - 1);
      entries_.push_back({kVersionResourceType, 0, part.data() + at,
                          static_cast<std::uint32_t>(length), 0});
      at += length;
    } else {
      reportAssertion(kSourceFile, 431, "0");
    }
  }
}

ResourceTable& resourceTable() {
  static ResourceTable table;
  return table;
}

}  // namespace rt::host
