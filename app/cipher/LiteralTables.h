// The tables as the byte-at-a-time algorithm keeps them: byte strings that
// every byte rotates by joining a right part and a left part, with the
// string functions' clamping of counts. A table of 256 bytes stays one; a
// damaged key can give longer tables, and counts outside 1..255 make other
// shapes. The engine runs this model until every table has settled into a
// 256-byte rotating table or one that rotation no longer changes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cipher/Cipher.h"
#include "cipher/RotationClock.h"

namespace vantor::cipher {

class LiteralTables {
 public:
  explicit LiteralTables(const Key& key);

  // One byte through tables 1 to 20 and then the rotation.
  std::uint8_t encrypt(std::uint8_t byte);
  // One byte back through tables 20 to 1 and then the rotation.
  std::uint8_t decrypt(std::uint8_t byte);

  // Every table is now a 256-byte table with a step of 1 to 255, or one that
  // rotation leaves as it is.
  bool settled() const;
  bool rotating(int t) const;
  // The table's first 256 bytes hold every byte value once.
  bool permutation(int t) const;

  const std::string& table(int t) const { return tables_[t]; }
  const RotationClock& clock(int t) const { return clocks_[t]; }
  std::uint8_t step(int t) const { return static_cast<std::uint8_t>(steps_[t]); }

 private:
  std::string rotated(int t, bool left) const;
  void rotate();

  std::array<std::string, kTableCount> tables_;
  std::array<std::int32_t, kTableCount> steps_;
  std::array<RotationClock, kTableCount> clocks_;
};

}  // namespace vantor::cipher
