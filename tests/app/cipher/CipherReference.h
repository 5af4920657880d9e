// The cipher written out byte by byte with the runtime's own string
// functions, as the application's encryption and decryption loops run it, on
// the module's own loaded key and its RotateTables: the check every kernel of
// the engine is held against.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cipher/Cipher.h"
#include "text/StringHandle.h"

namespace vantor::cipher::test {

// A key as the key files give it: the parsed code of each field of each
// table's line, and the settings, before any table string is built.
struct KeyCodes {
  std::array<std::array<std::int32_t, 256>, kTableCount> codes{};
  std::array<std::int32_t, kTableCount> direction{};
  std::array<std::int32_t, kTableCount> periodA{};
  std::array<std::int32_t, kTableCount> periodB{};
  std::array<std::int32_t, kTableCount> step{};
};

class ReferenceCipher {
 public:
  // Builds each table string by appending StringDBCSChr of its codes.
  explicit ReferenceCipher(const KeyCodes& key);
  // Takes the table strings as they are, whatever their length.
  explicit ReferenceCipher(const Key& key);

  // The key as the application hands it to the engine: the tables' bytes.
  Key engineKey() const;

  // Filler bytes come from rnd, the runtime's generator. Each run loads the
  // key into the module globals afresh.
  std::string encrypt(std::string_view plaintext, const Schedule& schedule) const;
  std::string decrypt(std::string_view ciphertext, const Schedule& schedule) const;

 private:
  std::array<rt::String, kTableCount> tables_;
  Key key_;
};

}  // namespace vantor::cipher::test
