// Takes typed values off the front of a fuzzer's input. Every read succeeds:
// past the end, numbers are 0 and byte runs are empty, so a target never has
// to check what is left before it asks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace vantor::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : rest_(data, size) {}

  template <class Integer>
  Integer integer() {
    Integer value{};
    const std::size_t n = std::min(sizeof value, rest_.size());
    std::memcpy(&value, rest_.data(), n);
    rest_ = rest_.subspan(n);
    return value;
  }

  // A value from low to high inclusive.
  std::int64_t inRange(std::int64_t low, std::int64_t high) {
    const auto span = static_cast<std::uint64_t>(high - low) + 1;
    const std::uint64_t raw = span <= 0x100 ? integer<std::uint8_t>() : integer<std::uint32_t>();
    return low + static_cast<std::int64_t>(span == 0 ? raw : raw % span);
  }

  bool boolean() { return (integer<std::uint8_t>() & 1) != 0; }

  // One of the values of a table.
  template <class Value, std::size_t N>
  const Value& pick(const Value (&table)[N]) {
    return table[static_cast<std::size_t>(inRange(0, N - 1))];
  }

  // The next n bytes (fewer at the end).
  std::string_view bytes(std::size_t n) {
    n = std::min(n, rest_.size());
    const std::string_view taken(reinterpret_cast<const char*>(rest_.data()), n);
    rest_ = rest_.subspan(n);
    return taken;
  }

  // A run of at most maxLength bytes, its length given by the input.
  std::string_view sizedBytes(std::size_t maxLength) {
    return bytes(static_cast<std::size_t>(inRange(0, static_cast<std::int64_t>(maxLength))));
  }

  // Bytes up to the next separator byte (not included), or the rest.
  std::string_view upTo(char separator) {
    const std::string_view all(reinterpret_cast<const char*>(rest_.data()), rest_.size());
    const std::size_t end = all.find(separator);
    const std::string_view taken = all.substr(0, end);
    rest_ = rest_.subspan(end == std::string_view::npos ? rest_.size() : end + 1);
    return taken;
  }

  std::string_view rest() { return bytes(rest_.size()); }

 private:
  std::span<const std::uint8_t> rest_;
};

}  // namespace vantor::fuzz
