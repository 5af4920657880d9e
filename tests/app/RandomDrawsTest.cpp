// The application's random values: handed out in the reader's order however
// they are taken, the filler bytes made of exactly those values, and nothing
// kept when the source cannot be read.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "OperationFolder.h"
#include "Operations.h"
#include "RandomDraws.h"
#include "cipher/Cipher.h"

namespace vantor::app::test {
namespace {

// The value of draw number i (0-based) of the sequence readers below give.
std::uint32_t sequenceValue(std::uint64_t i) {
  return static_cast<std::uint32_t>((i * 2654435761u) >> 7) & 0xFFFFF;
}

// The sequence, failing every read that would go past limit values.
RandomReader sequenceReader(std::uint64_t limit = UINT64_MAX) {
  return [served = std::uint64_t{0}, limit](std::span<std::uint32_t> out) mutable {
    if (out.size() > limit - served) return false;
    for (std::uint32_t& value : out) value = sequenceValue(served++);
    return true;
  };
}

class RandomDrawsTest : public OperationFolderTest {
 protected:
  // A key system of 3 entries a component; the source is the sequence.
  void createSystem(char level) {
    replaceRandomReader(sequenceReader());
    ASSERT_EQ(run(std::string("createsys 3 3 3 ") + level, &createSys), kCreated);
  }
};

TEST_F(RandomDrawsTest, ValuesComeInTheReadersOrderHoweverTheyAreTaken) {
  replaceRandomReader(sequenceReader());
  RandomDraws draws(rt::numbers::RandomUse::Public);
  ASSERT_TRUE(draws.available());
  std::uint64_t expected = 0;
  // Single values and blocks of every kind of size, across the buffer's end.
  for (std::size_t block : {0u, 1u, 5u, 70000u, 3u, 65536u, 200000u, 7u}) {
    for (int single = 0; single < 3; ++single) ASSERT_EQ(draws.next(), sequenceValue(expected++));
    std::vector<std::uint32_t> values(block);
    draws.draw(values);
    for (std::uint32_t value : values) ASSERT_EQ(value, sequenceValue(expected++)) << block;
  }
  EXPECT_TRUE(draws.available());
}

TEST_F(RandomDrawsTest, AFailedReadIsKnownFromThenOn) {
  replaceRandomReader(sequenceReader(0));
  EXPECT_FALSE(RandomDraws(rt::numbers::RandomUse::Secret).available());

  replaceRandomReader(sequenceReader(100000));
  RandomDraws draws(rt::numbers::RandomUse::Secret);
  ASSERT_TRUE(draws.available());
  std::vector<std::uint32_t> values(100001);
  draws.draw(values);
  EXPECT_FALSE(draws.available());
  draws.next();
  EXPECT_FALSE(draws.available());
}

TEST_F(RandomDrawsTest, FillerBytesAreMadeOfTheSourcesValuesInOrder) {
  createSystem('h');
  std::vector<char> plain(3000);
  std::iota(plain.begin(), plain.end(), 0);
  write("plain.bin", std::string(plain.begin(), plain.end()));
  replaceRandomReader(sequenceReader());
  ASSERT_EQ(run("enc plain.bin out.enc 1 2 3", &encrypt),
            "Loading System data...\nEncrypting plain.bin with expansion...\n"
            "==== Encryption completed ====\n \n");

  const std::string k3 = read("k3.bin");
  const std::string line = k3.substr(2 * 274, 273);
  std::array<std::int32_t, cipher::kSeedCount> seeds{};
  for (std::size_t i = 0; i < seeds.size(); ++i) seeds[i] = std::stoi(line.substr(240 + 3 * i, 3));
  const cipher::Schedule schedule = cipher::buildSchedule(seeds);
  ASSERT_TRUE(schedule.on);
  const std::string out = read("out.enc");
  std::size_t position = 0;
  std::uint64_t filler = 0;
  for (std::size_t i = 1; i <= plain.size(); ++i) {
    ++position;  // the cipher byte
    for (std::int32_t f = 0; f < schedule.counts[i]; ++f, ++position, ++filler) {
      ASSERT_LT(position, out.size());
      ASSERT_EQ(static_cast<unsigned char>(out[position]), (sequenceValue(filler) * 255) >> 20)
          << "filler " << filler << " at " << position;
    }
  }
  EXPECT_EQ(position, out.size());
}

TEST_F(RandomDrawsTest, CreateSysWithoutARandomSourceWritesNoKeySystem) {
  struct Case {
    std::uint64_t valuesReadable;
    std::string output;
    std::vector<std::string> files;
  };
  // A component-1 file takes 60060 values and the source is read 65536 at a
  // time: the second read fails within K12.bin.
  const Case cases[] = {
      {0, "Random source not available error.\n", {}},
      {65536,
       "Generating Key Component 1\nThis might take awhile...\nRandom source not available "
       "error.\n",
       {"K11.bin", "K12.bin"}},
  };
  for (const Case& c : cases) {
    clear();
    replaceRandomReader(sequenceReader(c.valuesReadable));
    EXPECT_EQ(run("createsys 3 3 3 n", &createSys), c.output) << c.valuesReadable;
    EXPECT_EQ(fileNames(), c.files) << c.valuesReadable;
  }
}

TEST_F(RandomDrawsTest, EncryptionWithoutARandomSourceKeepsNoOutput) {
  struct Case {
    char level;
    std::uint64_t valuesReadable;
    std::string output;
  };
  const std::string loading = "Loading System data...\nEncrypting plain.bin";
  const Case cases[] = {
      {'h', 0, loading + " with expansion...\nRandom source not available error.\n"},
      // The first read succeeds, a later one fails during the run.
      {'h', 65536, loading + " with expansion...\nRandom source not available error.\n"},
      // Without expansion no value is needed.
      {'n', 0, loading + "...\n==== Encryption completed ====\n \n"},
  };
  for (const Case& c : cases) {
    clear();
    createSystem(c.level);
    write("plain.bin", std::string(3000, 'p'));
    write("out.enc", "older output");
    const std::vector<std::string> before = fileNames();
    replaceRandomReader(sequenceReader(c.valuesReadable));
    EXPECT_EQ(run("enc plain.bin out.enc 1 2 3", &encrypt), c.output) << c.level;
    EXPECT_EQ(fileNames(), before) << c.level;
    if (c.level == 'h') {
      EXPECT_EQ(read("out.enc"), "older output");
    }
  }
}

}  // namespace
}  // namespace vantor::app::test
