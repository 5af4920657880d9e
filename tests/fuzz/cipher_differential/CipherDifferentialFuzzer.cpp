// The cipher engine against the literal reference, byte for byte: random
// keys (damaged ones included: fields above 255 or below 0, short lines,
// periods of 0, steps of 256 and more, tables of any length), random inputs
// pushed in random pieces, every kernel this processor runs, with and without
// the helper thread and with small blocks. Where every table is a permutation
// decryption must give back the plaintext.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "CipherReference.h"
#include "cipher/Cipher.h"
#include "cipher/EngineSettings.h"
#include "numbers/NumberApi.h"
#include "support/FuzzInput.h"
#include "support/FuzzRuntime.h"

namespace {

namespace cipher = vantor::cipher;
using vantor::fuzz::check;
using vantor::fuzz::FuzzInput;

constexpr std::size_t kMaxText = 256;

// The reference's own draws: rnd's values, value = rnd * 2^20.
class RuntimeRandom final : public cipher::RandomSource {
 public:
  void draw(std::span<std::uint32_t> out) override {
    for (std::uint32_t& value : out) value = static_cast<std::uint32_t>(rnd() * 1048576.0);
  }
};

class Collect final : public cipher::ByteSink {
 public:
  bool write(std::span<const std::uint8_t> bytes) override {
    text.append(bytes.begin(), bytes.end());
    return true;
  }
  std::string text;
};

// Values a key file's fields can give: 3-digit texts (-99 to 999) and what
// StringVal makes of texts such as 9e9.
std::int32_t settingFrom(FuzzInput& input) {
  static constexpr std::int32_t kOdd[] = {-99, -1, 0, 0, 1, 2, 3, 5, 11, 128, 255, 256, 257, 300, 511, 999,
                                          2000000000, INT_MAX, INT_MIN, -2147483392};
  if (input.boolean()) return input.pick(kOdd);
  return static_cast<std::int32_t>(input.inRange(1, 11));
}

std::int32_t codeFrom(FuzzInput& input) {
  switch (input.inRange(0, 7)) {
    case 0:
      return static_cast<std::int32_t>(input.inRange(256, 999));
    case 1:
      return static_cast<std::int32_t>(input.inRange(-99, -1));
    default:
      return static_cast<std::int32_t>(input.inRange(0, 255));
  }
}

// Each table a permutation shuffled by the input, with some fields replaced.
cipher::test::KeyCodes codesFrom(FuzzInput& input) {
  cipher::test::KeyCodes key;
  for (auto& codes : key.codes) {
    for (int i = 0; i < 256; ++i) codes[i] = i;
    for (int i = 255; i > 0; --i) std::swap(codes[i], codes[input.inRange(0, i)]);
    for (auto damage = input.inRange(0, 3) == 0 ? input.inRange(1, 8) : 0; damage > 0; --damage) {
      codes[input.inRange(0, 255)] = codeFrom(input);
    }
  }
  return key;
}

// Tables of any bytes and any length, as the engine must take them.
cipher::Key tablesFrom(FuzzInput& input) {
  cipher::Key key;
  for (std::string& table : key.tables) {
    const std::size_t length = input.boolean() ? 256 : static_cast<std::size_t>(input.inRange(0, 600));
    const std::string_view bytes = input.bytes(length);
    table.assign(bytes);
    table.resize(length, '\0');
  }
  return key;
}

template <class Settings>
void settingsFrom(FuzzInput& input, Settings& key) {
  for (int t = 0; t < cipher::kTableCount; ++t) {
    key.direction[t] = input.boolean() ? static_cast<std::int32_t>(input.inRange(0, 1)) : settingFrom(input);
    key.periodA[t] = settingFrom(input);
    key.periodB[t] = settingFrom(input);
    key.step[t] = settingFrom(input);
  }
}

cipher::Schedule scheduleFrom(FuzzInput& input) {
  std::array<std::int32_t, cipher::kSeedCount> seeds{};
  const auto level = input.inRange(0, 4);
  static constexpr std::int32_t kHighest[] = {0, 11, 51, 100, 999};
  for (std::int32_t& seed : seeds) {
    seed = level == 0 ? 0 : static_cast<std::int32_t>(input.inRange(level == 4 ? -99 : 1, kHighest[level]));
  }
  return cipher::buildSchedule(seeds);
}

bool isPermutation(const std::string& table) {
  if (table.size() != 256) return false;
  std::array<bool, 256> seen{};
  for (char byte : table) seen[static_cast<unsigned char>(byte)] = true;
  return std::all_of(seen.begin(), seen.end(), [](bool b) { return b; });
}

std::vector<std::size_t> piecesFrom(FuzzInput& input) {
  std::vector<std::size_t> sizes;
  for (auto count = input.inRange(0, 6); count > 0; --count) sizes.push_back(static_cast<std::size_t>(input.inRange(0, 64)));
  return sizes;
}

// Pushes text in the given piece sizes (the rest at once); true when every
// push and the finish succeeded.
template <class Engine>
bool pushInPieces(Engine& engine, const std::string& text, const std::vector<std::size_t>& sizes) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  std::size_t at = 0;
  bool ok = true;
  for (std::size_t size : sizes) {
    const std::size_t n = std::min(size, text.size() - at);
    ok = engine.push({bytes + at, n}) && ok;
    at += n;
  }
  ok = engine.push({bytes + at, text.size() - at}) && ok;
  return engine.finish() && ok;
}

std::string engineEncryption(const cipher::Key& key, const cipher::Schedule& schedule, const std::string& plain,
                             const std::vector<std::size_t>& pieces) {
  RuntimeRandom random;
  Collect sink;
  cipher::Encryptor encryptor(key, schedule, random, sink);
  check(pushInPieces(encryptor, plain, pieces), "the encryptor refused its input");
  return sink.text;
}

std::string engineDecryption(const cipher::Key& key, const cipher::Schedule& schedule, const std::string& text,
                             const std::vector<std::size_t>& pieces) {
  Collect sink;
  cipher::Decryptor decryptor(key, schedule, sink);
  check(pushInPieces(decryptor, text, pieces), "the decryptor refused its input");
  return sink.text;
}

std::string firstDifference(const std::string& a, const std::string& b) {
  const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  const cipher::EngineSettings& settings = cipher::engineSettings();
  return std::string(cipher::kernelName(*settings.kernel)) + " kernel" +
         (settings.helperThread ? " with the helper thread" : "") + ", blocks of " +
         std::to_string(settings.blockBytes) + ": lengths " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + ", first difference at " +
         std::to_string(at.first - a.begin());
}

void compare(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  static constexpr cipher::Kernel kKernels[] = {cipher::Kernel::Scalar, cipher::Kernel::Avx2,
                                                cipher::Kernel::Avx512Vbmi};
  cipher::EngineSettings settings;
  settings.kernel = input.pick(kKernels);
  settings.helperThread = input.boolean();
  settings.blockBytes = input.boolean() ? static_cast<std::size_t>(input.inRange(1, 300)) : settings.blockBytes;
  cipher::setEngineSettings(settings);

  const bool anyTables = input.inRange(0, 3) == 0;
  const auto reference = anyTables ? [&] {
    cipher::Key key = tablesFrom(input);
    settingsFrom(input, key);
    return cipher::test::ReferenceCipher(key);
  }()
                                   : [&] {
                                       cipher::test::KeyCodes key = codesFrom(input);
                                       settingsFrom(input, key);
                                       return cipher::test::ReferenceCipher(key);
                                     }();
  const cipher::Key key = reference.engineKey();
  const cipher::Schedule schedule = scheduleFrom(input);
  // A state the generator can reach: 1 to 2^31 - 2.
  const auto randomState = static_cast<std::int32_t>(input.inRange(1, 0x7FFFFFFE));
  const std::vector<std::size_t> pieces = piecesFrom(input);
  const std::string plain(input.bytes(kMaxText));

  rt::numbers::setRandomState(randomState);
  const std::string expected = reference.encrypt(plain, schedule);
  rt::numbers::setRandomState(randomState);
  const std::string encrypted = engineEncryption(key, schedule, plain, pieces);
  check(encrypted == expected, "encryption differs from the reference: " + firstDifference(encrypted, expected));

  const std::string decrypted = engineDecryption(key, schedule, encrypted, pieces);
  const std::string expectedPlain = reference.decrypt(encrypted, schedule);
  check(decrypted == expectedPlain, "decryption differs from the reference: " + firstDifference(decrypted, expectedPlain));
  if (std::all_of(key.tables.begin(), key.tables.end(), isPermutation)) {
    check(decrypted == plain, "decryption does not invert encryption: " + firstDifference(decrypted, plain));
  }
  // Any bytes at all decrypt as the reference decrypts them.
  const std::string noise = plain + std::string(input.rest());
  check(engineDecryption(key, schedule, noise, pieces) == reference.decrypt(noise, schedule),
        "decryption of arbitrary bytes differs from the reference");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vantor::fuzz::startRuntime();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vantor::fuzz::Balance balance;
  compare(data, size);
  balance.expectUnchanged("the reference cipher");
  return 0;
}
