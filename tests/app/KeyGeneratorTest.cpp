// The component-1 generator works on a byte array with bulk draws; checked
// here against the algorithm as written, with one rnd call per draw and the
// runtime's own strings.
#include <gtest/gtest.h>

#include "KeyGenerator.h"
#include "numbers/NumberApi.h"
#include "support/RuntimeFixture.h"
#include "text/StringFunctions.h"

namespace {

std::int32_t roundedDraw(double scale) {
  return RuntimeCvtReal64ToSInt32(RuntimeRound(rnd() * scale));
}

std::string literalComponentOneLine() {
  rt::String alphabet;
  for (std::int32_t code = 0; code < 256; ++code) alphabet = alphabet + rt::chr(code);
  std::vector<rt::String> rows(257);
  for (std::int32_t i = 1; i <= 256; ++i) rows[i] = rt::mid(alphabet, i, 1);
  for (int pass = 0; pass < 3; ++pass) {
    for (int exchange = 0; exchange < 500; ++exchange) {
      std::int32_t a = roundedDraw(255);
      std::int32_t b = roundedDraw(255);
      if (a == 0) a = 1;
      if (b == 0) b = 255;
      std::swap(rows[a], rows[b]);
    }
    rt::String s;
    for (std::int32_t i = 1; i <= 256; ++i) s = s + rows[i];
    const std::int32_t r = RuntimeCvtReal64ToSInt32(RuntimeRound(rnd() * 50) + 15);
    for (std::int32_t i = 0; i < r; ++i) s = rt::right(s, 255) + rt::left(s, 1);
    for (std::int32_t i = 1; i <= 256; ++i) rows[i] = rt::mid(s, i, 1);
  }
  std::string line;
  for (std::int32_t i = 1; i <= 256; ++i) {
    line += rt::right(rt::String("00") + rt::str(rt::asc(rows[i])), 3).str();
  }
  return line;
}

class KeyGeneratorTest : public rt::test::RuntimeTest {
 protected:
  void TearDown() override {
    rt::numbers::setRandomState(saved_);
    RuntimeTest::TearDown();
  }

 private:
  std::int32_t saved_ = rt::numbers::randomState();
};

TEST_F(KeyGeneratorTest, ComponentOneLinesAreTheWrittenAlgorithmsLines) {
  for (std::int32_t seed : {1, 16807, 123456789, 2147483646}) {
    rt::numbers::setRandomState(seed);
    const std::string fast = vantor::app::componentOneLine();
    const std::int32_t stateAfterFast = rt::numbers::randomState();
    rt::numbers::setRandomState(seed);
    EXPECT_EQ(fast, literalComponentOneLine()) << "seed " << seed;
    EXPECT_EQ(stateAfterFast, rt::numbers::randomState()) << "seed " << seed;
  }
}

}  // namespace
