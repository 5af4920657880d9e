// The engine against the reference, byte for byte: every kernel this
// processor runs, on one thread and on several, on regular and damaged keys,
// input pushed in pieces of every size, with and without fillers.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "CipherReference.h"
#include "cipher/Cipher.h"
#include "cipher/EngineSettings.h"
#include "numbers/NumberApi.h"
#include "support/RuntimeFixture.h"

namespace vantor::cipher::test {
namespace {

using Rng = std::mt19937;

int uniform(Rng& rng, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(rng);
}

// Draws through rnd: value = rnd * 2^20. Any of the engine's threads may
// draw, but never two at once.
class RuntimeRandom : public RandomSource {
 public:
  void draw(std::span<std::uint32_t> out) override {
    EXPECT_FALSE(drawing_.exchange(true));
    for (std::uint32_t& value : out) value = static_cast<std::uint32_t>(rnd() * 1048576.0);
    drawing_ = false;
  }

 private:
  std::atomic<bool> drawing_{false};
};

// The runtime is single-threaded: the engine may call the sink only on the
// thread that pushes, the one that made the sink.
class StringSink : public ByteSink {
 public:
  explicit StringSink(std::size_t capacity = SIZE_MAX) : capacity_(capacity) {}
  bool write(std::span<const std::uint8_t> bytes) override {
    EXPECT_EQ(std::this_thread::get_id(), creator_);
    ++writes;
    if (refused || text.size() + bytes.size() > capacity_) {
      refused = true;
      return false;
    }
    text.append(bytes.begin(), bytes.end());
    return true;
  }
  std::string text;
  int writes = 0;
  bool refused = false;

 private:
  std::size_t capacity_;
  std::thread::id creator_ = std::this_thread::get_id();
};

KeyCodes regularKey(Rng& rng) {
  KeyCodes key;
  for (int t = 0; t < kTableCount; ++t) {
    std::iota(key.codes[t].begin(), key.codes[t].end(), 0);
    std::shuffle(key.codes[t].begin(), key.codes[t].end(), rng);
    key.direction[t] = uniform(rng, 0, 1);
    key.periodA[t] = uniform(rng, 1, 11);
    key.periodB[t] = uniform(rng, 1, 11);
    key.step[t] = uniform(rng, 1, 11);
  }
  return key;
}

// Field values a damaged or edited key file can give: 3-digit fields from
// -99 to 999, and what StringVal makes of texts such as 9e9 or 2e9.
std::int32_t oddSetting(Rng& rng) {
  static constexpr std::int32_t kValues[] = {
      -99, -5,  -1,  0,   1,   2,          3,       7,       128,         255,
      256, 257, 300, 511, 999, 2000000000, INT_MAX, INT_MIN, -2147483392, -2147483393};
  return kValues[uniform(rng, 0, std::size(kValues) - 1)];
}

void damageTable(Rng& rng, std::array<std::int32_t, 256>& codes) {
  switch (uniform(rng, 0, 5)) {
    case 0:  // fields of two bytes
      for (int i = uniform(rng, 1, 40); i > 0; --i)
        codes[uniform(rng, 0, 255)] = uniform(rng, 256, 999);
      break;
    case 1:  // negative fields, one byte each
      for (int i = uniform(rng, 1, 10); i > 0; --i)
        codes[uniform(rng, 0, 255)] = uniform(rng, -99, -1);
      break;
    case 2:  // a short line: the missing fields read as 0
      std::fill(codes.begin() + uniform(rng, 0, 255), codes.end(), 0);
      break;
    case 3:  // repeated bytes
      for (int i = uniform(rng, 1, 30); i > 0; --i)
        codes[uniform(rng, 0, 255)] = codes[uniform(rng, 0, 255)];
      break;
    case 4:  // a line of 256 two-byte fields
      for (std::int32_t& code : codes) code = uniform(rng, 256, 999);
      break;
    default:  // a permutation with a few fields of 3-digit text values
      codes[uniform(rng, 0, 255)] = uniform(rng, 256, 999);
      codes[uniform(rng, 0, 255)] = uniform(rng, -99, -1);
      break;
  }
}

KeyCodes damagedKey(Rng& rng) {
  KeyCodes key = regularKey(rng);
  for (int t = 0; t < kTableCount; ++t) {
    if (uniform(rng, 0, 3) == 0) damageTable(rng, key.codes[t]);
    for (auto* setting : {&key.direction, &key.periodA, &key.periodB, &key.step}) {
      if (uniform(rng, 0, 4) == 0) (*setting)[t] = oddSetting(rng);
    }
  }
  return key;
}

// Off, and the seed ranges of low, medium and high expansion.
Schedule randomSchedule(Rng& rng, int level) {
  static constexpr int kHighestSeed[] = {0, 11, 51, 100};
  std::array<std::int32_t, kSeedCount> seeds{};
  for (std::int32_t& seed : seeds) seed = level == 0 ? 0 : uniform(rng, 1, kHighestSeed[level]);
  return buildSchedule(seeds);
}

std::string randomBytes(Rng& rng, std::size_t n) {
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(uniform(rng, 0, 255));
  return bytes;
}

// Piece sizes for the pushes, empty pieces among them.
std::vector<std::size_t> randomSplits(Rng& rng, std::size_t total) {
  std::vector<std::size_t> sizes;
  for (std::size_t done = 0; done < total;) {
    const std::size_t size = uniform(rng, 0, 3) == 0 ? uniform(rng, 0, 3) : uniform(rng, 1, 700);
    sizes.push_back(std::min(size, total - done));
    done += sizes.back();
  }
  return sizes;
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Pushes input in pieces of the sizes given, or all at once if none are.
template <class Engine>
void pushAll(Engine& engine, std::string_view input, std::vector<std::size_t> splits) {
  if (splits.empty()) splits.push_back(input.size());
  for (std::size_t size : splits) {
    ASSERT_TRUE(engine.push(bytesOf(input.substr(0, size))));
    input.remove_prefix(size);
  }
  ASSERT_TRUE(engine.finish());
}

std::string engineEncrypt(const Key& key, const Schedule& schedule, std::string_view plaintext,
                          const std::vector<std::size_t>& splits = {}) {
  RuntimeRandom random;
  StringSink sink;
  Encryptor encryptor(key, schedule, random, sink);
  pushAll(encryptor, plaintext, splits);
  return sink.text;
}

std::string engineDecrypt(const Key& key, const Schedule& schedule, std::string_view ciphertext,
                          const std::vector<std::size_t>& splits = {}) {
  StringSink sink;
  Decryptor decryptor(key, schedule, sink);
  pushAll(decryptor, ciphertext, splits);
  return sink.text;
}

// Each kernel this processor runs: on the calling thread alone in large
// blocks, and with two threads and with more threads than this machine has
// processors in odd blocks small enough that every input crosses many.
std::vector<EngineSettings> allSettings() {
  std::vector<EngineSettings> all;
  for (Kernel kernel : {Kernel::Scalar, Kernel::Avx2, Kernel::Avx512Vbmi}) {
    if (!kernelRuns(kernel)) continue;
    all.push_back({kernel, 1, EngineSettings{}.blockBytes});
    all.push_back({kernel, 2, 97});
    all.push_back({kernel, 2 * processorsAvailable() + 1, 1000});
  }
  return all;
}

std::string describe(const EngineSettings& settings) {
  return std::string(kernelName(*settings.kernel)) + " on " + std::to_string(settings.threads) +
         " threads, blocks of " + std::to_string(settings.blockBytes);
}

// The same inputs through the reference and through every setting of the
// engine, each from the same generator state; the generator must end where
// the reference left it.
class CipherEngineTest : public rt::test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    savedRandom_ = rt::numbers::randomState();
  }
  void TearDown() override {
    setEngineSettings({});
    rt::numbers::setRandomState(savedRandom_);
    RuntimeTest::TearDown();
  }

  void checkEncryption(const ReferenceCipher& reference, const Schedule& schedule,
                       std::string_view plaintext, Rng& rng, const std::string& label) {
    const Key key = reference.engineKey();
    rt::numbers::setRandomState(12345);
    const std::string expected = reference.encrypt(plaintext, schedule);
    const std::int32_t stateAfter = rt::numbers::randomState();
    for (const EngineSettings& settings : allSettings()) {
      setEngineSettings(settings);
      for (const auto& splits : {std::vector<std::size_t>{}, randomSplits(rng, plaintext.size())}) {
        rt::numbers::setRandomState(12345);
        ASSERT_EQ(engineEncrypt(key, schedule, plaintext, splits), expected)
            << label << ", " << describe(settings) << ", " << splits.size() << " pushes";
        ASSERT_EQ(rt::numbers::randomState(), stateAfter) << label << ", " << describe(settings);
      }
    }
    checkDecryption(reference, schedule, expected, rng, label + ", its ciphertext");
  }

  void checkDecryption(const ReferenceCipher& reference, const Schedule& schedule,
                       std::string_view ciphertext, Rng& rng, const std::string& label) {
    const Key key = reference.engineKey();
    const std::string expected = reference.decrypt(ciphertext, schedule);
    for (const EngineSettings& settings : allSettings()) {
      setEngineSettings(settings);
      for (const auto& splits :
           {std::vector<std::size_t>{}, randomSplits(rng, ciphertext.size())}) {
        ASSERT_EQ(engineDecrypt(key, schedule, ciphertext, splits), expected)
            << label << ", " << describe(settings) << ", " << splits.size() << " pushes";
      }
    }
  }

 private:
  std::int32_t savedRandom_ = 0;
};

TEST_F(CipherEngineTest, RegularKeysMatchTheReference) {
  Rng rng(1);
  for (int round = 0; round < 8; ++round) {
    const KeyCodes codes = regularKey(rng);
    const Schedule schedule = randomSchedule(rng, round % 4);
    const std::string plaintext = randomBytes(rng, uniform(rng, 1, 2500));
    checkEncryption(ReferenceCipher(codes), schedule, plaintext, rng,
                    "regular key " + std::to_string(round));
  }
}

TEST_F(CipherEngineTest, DamagedKeysMatchTheReference) {
  Rng rng(2);
  for (int round = 0; round < 24; ++round) {
    const KeyCodes codes = damagedKey(rng);
    const Schedule schedule = randomSchedule(rng, round % 3);
    const std::string plaintext = randomBytes(rng, uniform(rng, 1, 600));
    const std::string label = "damaged key " + std::to_string(round);
    const ReferenceCipher reference(codes);
    checkEncryption(reference, schedule, plaintext, rng, label);
    checkDecryption(reference, schedule, randomBytes(rng, plaintext.size()), rng,
                    label + ", random ciphertext");
  }
}

// Settings whose offsets repeat with long periods, start out of step, or are
// generated rather than laid out.
TEST_F(CipherEngineTest, UnusualRotationSettingsMatchTheReference) {
  struct Settings {
    std::int32_t direction, periodA, periodB, step;
  };
  static constexpr Settings kRows[] = {
      {1, 2, 1, 1},  {0, 1, 1, 1},     {-7, 1, 2, 3},   {5, 3, 0, 255}, {-99, 999, 999, 7},
      {1, 40, 3, 9}, {0, 600, 1, 128}, {-2, -5, 4, 64}, {2, 9, 13, 17}, {INT_MIN, 3, 3, 5},
  };
  Rng rng(3);
  for (std::size_t row = 0; row < std::size(kRows); ++row) {
    KeyCodes codes = regularKey(rng);
    for (int t = 0; t < kTableCount; t += 2) {
      codes.direction[t] = kRows[row].direction;
      codes.periodA[t] = kRows[row].periodA;
      codes.periodB[t] = kRows[row].periodB;
      codes.step[t] = kRows[row].step;
    }
    const std::string plaintext = randomBytes(rng, 1200);
    checkEncryption(ReferenceCipher(codes), randomSchedule(rng, 0), plaintext, rng,
                    "settings row " + std::to_string(row));
  }
}

// Tables no key file line gives, shorter than 256 bytes or empty, which
// rotation lengthens, and longer ones which it cuts.
TEST_F(CipherEngineTest, TablesOfOtherLengthsMatchTheReference) {
  Rng rng(9);
  for (int round = 0; round < 6; ++round) {
    ReferenceCipher regular(regularKey(rng));
    Key key = regular.engineKey();
    for (int t = 0; t < kTableCount; ++t) {
      if (uniform(rng, 0, 2) > 0) continue;
      static constexpr std::size_t kLengths[] = {0, 1, 100, 255, 257, 300, 512};
      key.tables[t] = randomBytes(rng, kLengths[uniform(rng, 0, std::size(kLengths) - 1)]);
      if (uniform(rng, 0, 2) == 0) key.step[t] = oddSetting(rng);
    }
    const ReferenceCipher reference(key);
    checkEncryption(reference, randomSchedule(rng, round % 2), randomBytes(rng, 600), rng,
                    "round " + std::to_string(round));
  }
}

// Long enough to cross the kernels' pieces and the laid-out cycles' ends;
// with high expansion, far more output than the engine holds and far more
// fillers than one draw.
TEST_F(CipherEngineTest, LongInputAndHighExpansionMatchTheReference) {
  struct Case {
    unsigned seed;
    int level;
    std::size_t length;
    const char* label;
  };
  for (const Case& c : {Case{4, 0, 20000, "long input"}, {5, 3, 6000, "high expansion"}}) {
    Rng rng(c.seed);
    const ReferenceCipher reference(regularKey(rng));
    checkEncryption(reference, randomSchedule(rng, c.level), randomBytes(rng, c.length), rng,
                    c.label);
  }
}

TEST_F(CipherEngineTest, DecryptionUndoesEncryption) {
  Rng rng(6);
  const ReferenceCipher reference(regularKey(rng));
  const Key key = reference.engineKey();
  for (int level = 0; level < 4; ++level) {
    const Schedule schedule = randomSchedule(rng, level);
    const std::string plaintext = randomBytes(rng, level == 0 ? 300000 : 20000 + level);
    const std::string ciphertext = engineEncrypt(key, schedule, plaintext);
    if (!schedule.on) {
      EXPECT_EQ(ciphertext.size(), plaintext.size());
    }
    EXPECT_EQ(engineDecrypt(key, schedule, ciphertext, randomSplits(rng, ciphertext.size())),
              plaintext)
        << "expansion level " << level;
  }
}

TEST_F(CipherEngineTest, RefusedOutputStopsTheEngine) {
  Rng rng(8);
  const Key key = ReferenceCipher(regularKey(rng)).engineKey();
  const std::string plaintext = randomBytes(rng, 1 << 20);
  for (int level : {0, 3}) {
    const Schedule schedule = randomSchedule(rng, level);
    RuntimeRandom random;
    StringSink sink(100000);
    Encryptor encryptor(key, schedule, random, sink);
    // The engine holds some blocks before it writes; once refused it takes
    // nothing more and writes nothing more.
    EXPECT_FALSE(encryptor.push(bytesOf(plaintext)) && encryptor.push(bytesOf(plaintext)) &&
                 encryptor.finish())
        << "level " << level;
    EXPECT_FALSE(encryptor.push(bytesOf(plaintext)));
    EXPECT_FALSE(encryptor.finish());
    EXPECT_TRUE(sink.text.empty());
    EXPECT_EQ(sink.writes, 1);

    StringSink decryptedSink(100);
    Decryptor decryptor(key, schedule, decryptedSink);
    EXPECT_TRUE(decryptor.push(bytesOf(plaintext.substr(0, 50))));
    EXPECT_FALSE(decryptor.push(bytesOf(plaintext)) && decryptor.finish());
  }
}

}  // namespace
}  // namespace vantor::cipher::test
