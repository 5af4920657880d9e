#include "host/SymbolTable.h"

#include <cstring>
#include <string>

#include "host/FailureReport.h"

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/loaderX86";

std::uint32_t wordAt(std::span<const std::uint8_t> part, std::size_t at) {
  std::uint32_t value;
  std::memcpy(&value, part.data() + at, sizeof value);
  return value;
}

}  // namespace

SymbolTable::SymbolTable(std::span<const std::uint8_t> part) {
  if (part.empty()) return;
  if (part.size() < 4 || (part.size() - 4) / 8 < wordAt(part, 0)) {
    reportAssertion(kSourceFile, __LINE__, "4 + 8 * count <= symbolsLength",
                    "The symbols part is shorter than its entries");
    return;
  }
  const std::uint32_t count = wordAt(part, 0);
  const std::size_t namesAt = 4 + std::size_t{8} * count;
  const char* names = reinterpret_cast<const char*>(part.data() + namesAt);
  const std::size_t namesLength = part.size() - namesAt;
  std::size_t malformed = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t offset = wordAt(part, 4 + std::size_t{8} * i);
    const std::uint32_t nameAt = wordAt(part, 8 + std::size_t{8} * i);
    const std::size_t length = nameAt < namesLength ? strnlen(names + nameAt, namesLength - nameAt) : 0;
    if (nameAt >= namesLength || length == namesLength - nameAt) {
      ++malformed;
      continue;
    }
    entries_.push_back({offset, std::string_view(names + nameAt, length)});
  }
  if (malformed != 0) {
    const std::string detail = std::to_string(malformed) + " symbol names lie outside the symbols part";
    reportAssertion(kSourceFile, __LINE__, "nameOffset < namesLength", detail.c_str());
  }
}

std::optional<SymbolHit> SymbolTable::find(std::uint32_t codeOffset) const {
  std::optional<SymbolHit> hit;
  for (const Entry& entry : entries_) {
    if (entry.offset < codeOffset) hit = SymbolHit{entry.name, codeOffset - entry.offset};
  }
  return hit;
}

}  // namespace rt::host
