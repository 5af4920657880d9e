// Key generation from given random values: the generator works with integer
// arithmetic on a byte array, and is checked here against the algorithms as
// written, with draws in [0, 1), the runtime's rounding and its own strings,
// on the files of a whole createsys.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "OperationFolder.h"
#include "Operations.h"
#include "RandomDraws.h"
#include "numbers/NumberApi.h"
#include "text/StringFunctions.h"

namespace vantor::app::test {
namespace {

constexpr std::uint32_t kValueLimit = 1u << 20;

// The values where rounding can go wrong: 0, the largest, either side of one
// half, and every value whose draw times a scale the generator uses lies
// exactly halfway between two integers.
std::vector<std::uint32_t> edgeValues() {
  std::vector<std::uint32_t> edges = {0, 1, kValueLimit / 2 - 1, kValueLimit / 2, kValueLimit - 1};
  for (std::uint32_t scale : {255u, 100u, 99u, 50u, 19u, 10u}) {
    for (std::uint32_t v = 0; v < kValueLimit; ++v) {
      if (v * scale % kValueLimit == kValueLimit / 2) edges.push_back(v);
    }
  }
  return edges;
}

// A sequence of 20-bit values, a quarter of them edge values.
class GivenValues {
 public:
  explicit GivenValues(unsigned seed) : rng_(seed) {}
  std::uint32_t next() {
    static const std::vector<std::uint32_t> edges = edgeValues();
    if (rng_() % 4 == 0) return edges[rng_() % edges.size()];
    return rng_() % kValueLimit;
  }

 private:
  std::mt19937 rng_;
};

void useGivenValues(unsigned seed) {
  replaceRandomReader([values = GivenValues(seed)](std::span<std::uint32_t> out) mutable {
    for (std::uint32_t& value : out) value = values.next();
    return true;
  });
}

// The algorithms as written: every draw a double in [0, 1).
class Literal {
 public:
  explicit Literal(unsigned seed) : values_(seed) {}

  std::string componentOneLine() {
    rt::String alphabet;
    for (std::int32_t code = 0; code < 256; ++code) alphabet = alphabet + rt::chr(code);
    std::vector<rt::String> rows(257);
    for (std::int32_t i = 1; i <= 256; ++i) rows[i] = rt::mid(alphabet, i, 1);
    for (int pass = 0; pass < 3; ++pass) {
      for (int exchange = 0; exchange < 500; ++exchange) {
        std::int32_t a = trunc(RuntimeRound(draw() * 255));
        std::int32_t b = trunc(RuntimeRound(draw() * 255));
        if (a == 0) a = 1;
        if (b == 0) b = 255;
        std::swap(rows[a], rows[b]);
      }
      rt::String s;
      for (std::int32_t i = 1; i <= 256; ++i) s = s + rows[i];
      const std::int32_t r = trunc(RuntimeRound(draw() * 50) + 15);
      for (std::int32_t i = 0; i < r; ++i) s = rt::right(s, 255) + rt::left(s, 1);
      for (std::int32_t i = 1; i <= 256; ++i) rows[i] = rt::mid(s, i, 1);
    }
    std::string line;
    for (std::int32_t i = 1; i <= 256; ++i) line += field(rt::asc(rows[i]), 3);
    return line;
  }

  std::string componentTwoLine() {
    std::int32_t tables[21];
    std::int32_t spares[21];
    for (std::int32_t i = 1; i <= 20; ++i) {
      tables[i] = i;
      spares[i] = RuntimeRound(draw() * 100) < 50 ? trunc(RuntimeRound(draw() * 100)) : 0;
    }
    for (int exchange = 0; exchange < 500; ++exchange) {
      const std::int32_t a = trunc(RuntimeRound(draw() * 19) + 1);
      const std::int32_t b = trunc(RuntimeRound(draw() * 19) + 1);
      std::swap(tables[a], tables[b]);
    }
    for (int turn = 0; turn < 5; ++turn) {
      const std::int32_t first = tables[1];
      for (std::int32_t i = 1; i < 20; ++i) tables[i] = tables[i + 1];
      tables[20] = first;
    }
    std::string line;
    for (std::int32_t i = 1; i <= 20; ++i) line += field(tables[i], 7);
    for (std::int32_t i = 1; i <= 20; ++i) line += field(spares[i], 7);
    return line;
  }

  // Direction flags persist from line to line, as in one k3.bin.
  std::string componentThreeLine(std::int32_t range) {
    for (std::int32_t& direction : directions_) {
      if (draw() * 50 < 25) direction = 1;
    }
    std::int32_t settings[3][20];
    for (int i = 0; i < 20; ++i) {
      for (auto& setting : settings) setting[i] = trunc(RuntimeRound(draw() * 10) + 1);
    }
    if (range > 0) {
      for (std::int32_t& seed : seeds_) seed = trunc(RuntimeRound(draw() * range) + 1);
    }
    const std::int32_t tail = trunc(RuntimeRound(draw() * 100) + 1);
    std::string line;
    for (std::int32_t direction : directions_) line += field(direction, 3);
    for (const auto& setting : settings) {
      for (std::int32_t value : setting) line += field(value, 3);
    }
    for (std::int32_t seed : seeds_) line += field(seed, 3);
    return line + field(tail, 3);
  }

 private:
  double draw() { return values_.next() * 9.5367431640625e-7; }  // value / 2^20
  static std::int32_t trunc(double x) { return RuntimeCvtReal64ToSInt32(x); }
  static std::string field(std::int32_t value, std::int32_t width) {
    return rt::right(rt::String("000000") + rt::str(value), width).str();
  }

  GivenValues values_;
  std::int32_t directions_[20] = {};
  std::int32_t seeds_[10] = {};
};

class KeyGeneratorTest : public OperationFolderTest {};

// The files take the values in order, component by component, and no value
// goes anywhere else.
TEST_F(KeyGeneratorTest, CreateSysWritesTheWrittenAlgorithmsFilesForGivenValues) {
  struct Case {
    unsigned seed;
    const char* level;
    std::int32_t range;
  };
  for (const Case c : {Case{1, "n", 0}, {2, "l", 10}, {3, "m", 50}, {4, "h", 99}}) {
    clear();
    useGivenValues(c.seed);
    ASSERT_EQ(run(std::string("createsys 2 3 4 ") + c.level, &createSys), kCreated);
    Literal literal(c.seed);
    for (const char* name : {"K11.bin", "K12.bin"}) {
      std::string expected;
      for (int line = 0; line < 20; ++line) expected += literal.componentOneLine() + "\n";
      EXPECT_EQ(read(name), expected) << name << ", level " << c.level;
    }
    std::string k2;
    for (int line = 0; line < 3; ++line) k2 += literal.componentTwoLine() + "\n";
    EXPECT_EQ(read("k2.dat"), k2) << "level " << c.level;
    std::string k3;
    for (int line = 0; line < 4; ++line) k3 += literal.componentThreeLine(c.range) + "\n";
    EXPECT_EQ(read("k3.bin"), k3) << "level " << c.level;
    EXPECT_EQ(read("sys.dat"), "2\n");
  }
}

}  // namespace
}  // namespace vantor::app::test
