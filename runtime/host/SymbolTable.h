// The symbols part of a module image: function names by code offset, which
// name the functions an exception passes through.
//
// Layout: u32 count N; N entries of (u32 code offset, u32 name offset); then
// zero-terminated names, each at 4 + 8 N + name offset from the part's start.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace rt::host {

struct SymbolHit {
  std::string_view name;
  std::uint32_t distance;  // from the function's start
};

class SymbolTable {
 public:
  SymbolTable() = default;
  // Reads the entries of a symbols part, which must outlive the table. A
  // count beyond the part, or a name outside it or without its zero byte, is
  // reported; such entries are left out.
  explicit SymbolTable(std::span<const std::uint8_t> part);

  // Among the entries in table order, the last whose offset lies strictly
  // below the code offset; nothing when there is none.
  std::optional<SymbolHit> find(std::uint32_t codeOffset) const;

 private:
  struct Entry {
    std::uint32_t offset;
    std::string_view name;
  };
  std::vector<Entry> entries_;
};

}  // namespace rt::host
