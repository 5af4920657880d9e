// The module's own literal cipher functions (the loaded key in the globals,
// turned by rotateTables, looked up with the runtime's string functions, one
// byte at a time) against the fast engine, for keys createsys makes and for
// damaged ones.
#include <gtest/gtest.h>

#include <random>

#include "LoadedKey.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "cipher/Cipher.h"
#include "numbers/NumberApi.h"
#include "support/RuntimeFixture.h"
#include "text/Encodings.h"
#include "text/StringFunctions.h"

namespace {

using vantor::app::globals;
namespace cipher = vantor::cipher;

struct KeyFields {
  std::vector<std::vector<std::int32_t>> codes;  // 20 lines of table codes
  std::array<std::int32_t, 20> direction{}, periodA{}, periodB{}, step{};
  std::array<std::int32_t, 10> seeds{};
};

KeyFields randomKey(std::mt19937& random, bool damaged, bool expansion) {
  KeyFields key;
  for (int t = 0; t < 20; ++t) {
    std::vector<std::int32_t> codes(256);
    std::iota(codes.begin(), codes.end(), 0);
    std::shuffle(codes.begin(), codes.end(), random);
    if (damaged && t % 3 == 0) {
      for (int i = 0; i < 8; ++i)
        codes[random() % 256] = static_cast<std::int32_t>(random() % 1100) - 99;
    }
    key.codes.push_back(codes);
    key.direction[t] = static_cast<std::int32_t>(random() % 2);
    key.periodA[t] = static_cast<std::int32_t>(1 + random() % 11);
    key.periodB[t] = static_cast<std::int32_t>(1 + random() % 11);
    key.step[t] = static_cast<std::int32_t>(1 + random() % 11);
  }
  if (damaged) {
    const std::int32_t odd[] = {-99, -2, 0, 2, 5, 255, 256, 300, 999};
    for (int t = 0; t < 20; t += 2) {
      key.direction[t] = odd[random() % 9];
      key.periodA[t] = odd[random() % 9];
      key.step[t] = odd[random() % 9];
    }
  }
  if (expansion) {
    for (auto& seed : key.seeds) seed = static_cast<std::int32_t>(1 + random() % 20);
  }
  return key;
}

class ModuleCipherTest : public rt::test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    vantor::app::createModuleGlobals();
    rt::String table;
    for (std::int32_t code = 0; code < 256; ++code) table = table + rt::chr(code);
    globals().charTable = table;
    savedRandom_ = rt::numbers::randomState();
  }

  void TearDown() override {
    rt::numbers::setRandomState(savedRandom_);
    vantor::app::releaseModuleGlobals();
    RuntimeTest::TearDown();
  }

  // Puts the key into the globals as loadSystemData and loadComponent1 do.
  static void load(const KeyFields& key) {
    auto& g = globals();
    for (std::int32_t t = 1; t <= 20; ++t) {
      rt::String table;
      for (std::int32_t code : key.codes[t - 1]) table = table + rt::chr(code);
      rt::setStringAt(g.cipherTable, t, table);
      rt::setIntegerAt(g.rotateDir, t, key.direction[t - 1]);
      rt::setIntegerAt(g.periodA, t, key.periodA[t - 1]);
      rt::setIntegerAt(g.periodB, t, key.periodB[t - 1]);
      rt::setIntegerAt(g.rotateStep, t, key.step[t - 1]);
      rt::setIntegerAt(g.stepCount, t, 0);
      rt::setIntegerAt(g.phase, t, 0);
    }
    for (std::int32_t i = 1; i <= 10; ++i)
      rt::setIntegerAt(g.expansionSchedule, i, key.seeds[i - 1]);
    vantor::app::buildExpansionSchedule();
  }

  static std::int32_t fillerCount(std::int32_t& k) {
    if (globals().expansionOn == 0) return 0;
    if (++k == 20001) k = 1;
    return rt::integerAt(globals().expansionSchedule, k);
  }

  static std::string literalEncryption(const std::string& plain) {
    const auto& g = globals();
    std::string out;
    std::int32_t k = 0;
    for (char byte : plain) {
      rt::String x = rt::String::bytes(std::string(1, byte), kEncodingUnknown);
      for (std::int32_t t = 1; t <= 20; ++t) {
        x = rt::mid(rt::stringAt(g.cipherTable, t), rt::inStrB(1, g.charTable, x), 1);
      }
      vantor::app::rotateTables();
      out += static_cast<char>(rt::asc(x));
      for (std::int32_t f = fillerCount(k); f > 0; --f) {
        out += static_cast<char>(RuntimeCvtReal64ToSInt32(rnd() * 255 + 1) - 1);
      }
    }
    return out;
  }

  static std::string literalDecryption(const std::string& cipherText) {
    const auto& g = globals();
    std::string out;
    std::int32_t k = 0;
    for (std::size_t i = 0; i < cipherText.size(); ++i) {
      rt::String x = rt::String::bytes(std::string(1, cipherText[i]), kEncodingUnknown);
      for (std::int32_t t = 20; t >= 1; --t) {
        x = rt::mid(g.charTable, rt::inStrB(1, rt::stringAt(g.cipherTable, t), x), 1);
      }
      out += static_cast<char>(rt::asc(x));
      vantor::app::rotateTables();
      i += static_cast<std::size_t>(std::max(0, fillerCount(k)));
    }
    return out;
  }

 private:
  std::int32_t savedRandom_ = 0;
};

class Collect final : public cipher::ByteSink {
 public:
  bool write(std::span<const std::uint8_t> bytes) override {
    text.append(bytes.begin(), bytes.end());
    return true;
  }
  std::string text;
};

class RuntimeRandom final : public cipher::RandomSource {
 public:
  void draw(std::span<std::uint32_t> out) override { rt::numbers::drawRandomBits(out); }
};

std::string engineEncryption(const cipher::Key& key, const cipher::Schedule& schedule,
                             const std::string& plain) {
  Collect sink;
  RuntimeRandom random;
  cipher::Encryptor encryptor(key, schedule, random, sink);
  EXPECT_TRUE(encryptor.push({reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()}));
  EXPECT_TRUE(encryptor.finish());
  return sink.text;
}

std::string engineDecryption(const cipher::Key& key, const cipher::Schedule& schedule,
                             const std::string& text) {
  Collect sink;
  cipher::Decryptor decryptor(key, schedule, sink);
  EXPECT_TRUE(decryptor.push({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}));
  EXPECT_TRUE(decryptor.finish());
  return sink.text;
}

TEST_F(ModuleCipherTest, TheModulesLiteralCipherAndTheEngineAgree) {
  std::mt19937 random(2026);
  for (int round = 0; round < 12; ++round) {
    const bool damaged = round % 2 == 1;
    const bool expansion = round % 3 == 2;
    const KeyFields fields = randomKey(random, damaged, expansion);
    std::string plain(700 + random() % 700, '\0');
    for (char& byte : plain) byte = static_cast<char>(random());

    load(fields);
    const cipher::Key key = vantor::app::loadedKey();
    const auto schedule = vantor::app::loadedSchedule();
    rt::numbers::setRandomState(4242 + round);
    const std::string literal = literalEncryption(plain);
    rt::numbers::setRandomState(4242 + round);
    ASSERT_EQ(engineEncryption(key, *schedule, plain), literal) << "round " << round;

    load(fields);
    const std::string decrypted = literalDecryption(literal);
    ASSERT_EQ(engineDecryption(key, *schedule, literal), decrypted) << "round " << round;
    if (!damaged) {
      EXPECT_EQ(decrypted, plain) << "round " << round;
    }
  }
}

}  // namespace
