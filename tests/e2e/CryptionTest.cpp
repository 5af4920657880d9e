// enc and dec: their checks in order, round trips with and without filler
// bytes, and the care taken with the files named.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "VantorFolder.h"
#include "cipher/Cipher.h"

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

std::string encrypted(const char* source, bool expansion = false) {
  return std::string("Loading System data...\nEncrypting ") + source +
         (expansion ? " with expansion...\n" : "...\n") + "==== Encryption completed ====\n \n";
}

std::string decrypted(const char* source, bool expansion = false) {
  return std::string("Loading System data...\nDecrypting ") + source +
         (expansion ? " with expansion...\n" : "...\n") + "==== Decryption completed ====\n \n";
}

std::string randomBytes(std::size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

// The schedule of line number of k3.bin, from its ten seeds.
cipher::Schedule scheduleOf(const VantorFolder& folder, std::size_t line) {
  const std::string text = splitLines(folder.read("k3.bin")).at(line - 1);
  std::array<std::int32_t, cipher::kSeedCount> seeds{};
  for (std::size_t i = 0; i < seeds.size(); ++i) seeds[i] = std::stoi(text.substr(240 + 3 * i, 3));
  return cipher::buildSchedule(seeds);
}

using CryptionTest = VantorTest;

TEST_F(CryptionTest, ChecksRunInOrderAndTheFirstFailureIsReported) {
  const std::string notInPlace = "A System is not in place.  Please issue ressys or \ncreatesys ";
  folder.expectSession(false, {{"enc", "Parameters missing error.  Enter help e\n \n"},
                               {"DEC", "Parameters missing error.  Enter help d\n \n"},
                               {"enc a b 1 2 3", notInPlace + "before you can encrypt.\n"},
                               {"dec a b 1 2 3", notInPlace + "before you can decrypt.\n"}});
  folder.createSystem();
  folder.write("plain.txt", "some text");
  folder.write("empty.txt", "");
  ASSERT_EQ(link(folder.path("plain.txt").c_str(), folder.path("hard.txt").c_str()), 0);
  fs::create_symlink(folder.path("plain.txt"), folder.path("soft.txt"));
  const std::string count = "Numeric Parameter required for component ";
  const std::string sameAsEncrypted = "Source and encrypted file cannot be the same error.\n";
  const std::string sameAsDecrypted = "Source and decrypted file cannot be the same error.\n";
  folder.expectSession(
      true, {{"enc a b 1 2", "Missing Parameters error.  Enter help e\n"},
             {"dec a b 1 2 3 4", "Missing Parameters error.  Enter help d\n"},
             {"enc a b 1 x 3", count + "2 error.\n"},
             {"dec a b 1 2 0", count + "3 error.\n"},
             // Numbers that name no line would load an empty key.
             {"enc a b nan 1 1", count + "1 error.\n"},
             {"enc a b 1 inf 1", count + "2 error.\n"},
             {"dec a b 1 1 -INF", count + "3 error.\n"},
             {"enc a b 0.5 1 1", count + "1 error.\n"},
             {"dec a b 1 -1 1", count + "2 error.\n"},
             {"enc a b 1 1 -2147483649", count + "3 error.\n"},
             // The same file under another name too.
             {"enc a A 1 2 3", sameAsEncrypted},
             {"dec a A 1 2 3", sameAsDecrypted},
             {"enc plain.txt ./plain.txt 1 2 3", sameAsEncrypted},
             {"dec plain.txt ./plain.txt 1 2 3", sameAsDecrypted},
             {"enc plain.txt hard.txt 1 1 1", sameAsEncrypted},
             {"dec soft.txt plain.txt 1 1 1", sameAsDecrypted},
             {"dec plain.txt PLAIN.TXT 1 1 1", sameAsDecrypted},
             {"enc " + folder.path("plain.txt") + " plain.txt 1 1 1", sameAsEncrypted},
             {"enc a b 4 1 1", "Key component 1 contains 3 elements\n"},
             {"enc a b 1 150 1", "Key component 2 contains 4 elements\n"},
             {"dec a b 1 1 6", "Key component 3 contains 5 elements\n"},
             // The component-1 number is used as text: 03 names K103.bin.
             {"enc a b 03 1 1",
              "Value of Key component 1 is greater than what was created error.\nEnter sysdata\n"},
             {"enc missing.txt b 3 1 1", "Source file does not exist error.\n"},
             {"dec empty.txt b 1 1 1", "Source file does not exist error.\n"}});
  EXPECT_EQ(folder.read("plain.txt"), "some text");
  EXPECT_FALSE(folder.exists("b"));
}

TEST_F(CryptionTest, WithoutExpansionTheOutputHasTheInputsLengthAndDecryptsBack) {
  folder.createSystem();
  // Several of the engine's blocks, the last one short.
  const std::string plain = randomBytes((3 << 20) + 7, 1);
  folder.write("plain.bin", plain);
  folder.write("cipher.bin", "an older output, replaced");
  folder.expectSession(true, {{"enc plain.bin cipher.bin 2 3 4", encrypted("plain.bin")},
                              {"dec cipher.bin plain.out 2 3 4", decrypted("cipher.bin")},
                              {"dec cipher.bin other.out 1 3 4", decrypted("cipher.bin")}});
  const std::string cipher = folder.read("cipher.bin");
  EXPECT_EQ(cipher.size(), plain.size());
  EXPECT_NE(cipher, plain);
  EXPECT_EQ(folder.read("plain.out"), plain);
  // Another key gives other bytes, without a message.
  EXPECT_NE(folder.read("other.out"), plain);
}

TEST_F(CryptionTest, FillerBytesFollowTheScheduleAndAreSkippedOnDecryption) {
  folder.createSystem("3 4 5 h");
  // Output of several of the engine's blocks, read back a block at a time.
  const std::string plain = randomBytes(20000, 2);
  folder.write("plain.bin", plain);
  // Each in a session of its own, in the same second: nothing but the random
  // source decides the fillers.
  for (int attempt = 0; attempt < 5; ++attempt) {
    const std::time_t start = std::time(nullptr);
    folder.expectSession(true, {{"enc plain.bin one.enc 1 2 3", encrypted("plain.bin", true)}});
    folder.expectSession(true, {{"enc plain.bin two.enc 1 2 3", encrypted("plain.bin", true)}});
    if (std::time(nullptr) == start) break;
  }
  folder.expectSession(true, {{"dec one.enc plain.out 1 2 3", decrypted("one.enc", true)}});
  EXPECT_EQ(folder.read("plain.out"), plain);

  const cipher::Schedule schedule = scheduleOf(folder, 3);
  ASSERT_TRUE(schedule.on);
  const std::string one = folder.read("one.enc");
  const std::string two = folder.read("two.enc");
  std::size_t position = 0;
  std::size_t fillerDifferences = 0;
  for (std::size_t i = 1; i <= plain.size(); ++i) {
    ASSERT_LT(position, one.size());
    EXPECT_EQ(one[position], two[position]) << "cipher byte " << i;
    ++position;
    for (std::int32_t f = 0; f < schedule.counts[(i - 1) % cipher::kScheduleLength + 1];
         ++f, ++position) {
      ASSERT_LT(position, one.size());
      EXPECT_NE(static_cast<unsigned char>(one[position]), 255u) << "filler at " << position;
      fillerDifferences += one[position] != two[position];
    }
  }
  EXPECT_EQ(one.size(), position);
  EXPECT_EQ(two.size(), position);
  EXPECT_GT(fillerDifferences, position / 2 - plain.size());
}

TEST_F(CryptionTest, ATargetThatIsNoRegularFileIsWrittenInPlace) {
  folder.createSystem();
  folder.write("plain.bin", randomBytes(200000, 5));
  ASSERT_EQ(mkfifo(folder.path("pipe").c_str(), 0600), 0);
  // Held open for reading throughout, so the tool's writes always drain.
  const int reader = open(folder.path("pipe").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  std::atomic<bool> sessionOver{false};
  std::string received;
  std::thread drain([&] {
    char buffer[65536];
    for (;;) {
      pollfd ready{reader, POLLIN, 0};
      poll(&ready, 1, 10);
      const ssize_t n = read(reader, buffer, sizeof buffer);
      if (n > 0) {
        received.append(buffer, static_cast<std::size_t>(n));
      } else if (sessionOver) {
        return;
      }
    }
  });
  folder.expectSession(true, {{"enc plain.bin pipe 1 2 3", encrypted("plain.bin")},
                              {"enc plain.bin file.enc 1 2 3", encrypted("plain.bin")}});
  sessionOver = true;
  drain.join();
  close(reader);
  EXPECT_TRUE(fs::is_fifo(folder.path("pipe")));
  EXPECT_EQ(received, folder.read("file.enc"));
}

TEST_F(CryptionTest, AReplacedTargetKeepsItsPermissionBitsAndOwner) {
  folder.createSystem();
  folder.write("plain.bin", "private words");
  // Only root can give a file away; the tool running as root must not take
  // it over either.
  const uid_t owner = getuid() == 0 ? 65534 : getuid();
  const mode_t savedMask = umask(022);
  std::vector<Exchange> exchanges = {{"enc plain.bin cipher.bin 1 1 1", encrypted("plain.bin")}};
  const mode_t modes[] = {0600, 0640, 0664};
  for (const mode_t mode : modes) {
    const std::string name = "out-" + std::to_string(mode);
    folder.write(name, "older text");
    ASSERT_EQ(chmod(folder.path(name).c_str(), mode), 0);
    ASSERT_EQ(chown(folder.path(name).c_str(), owner, static_cast<gid_t>(-1)), 0);
    exchanges.push_back({"dec cipher.bin " + name + " 1 1 1", decrypted("cipher.bin")});
  }
  folder.expectSession(true, exchanges);
  umask(savedMask);
  for (const mode_t mode : modes) {
    const std::string name = "out-" + std::to_string(mode);
    struct stat status {};
    ASSERT_EQ(stat(folder.path(name).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, mode) << name;
    EXPECT_EQ(status.st_uid, owner) << name;
    EXPECT_EQ(folder.read(name), "private words");
  }
}

TEST_F(CryptionTest, TargetNamesUpToTheLongestTheFileSystemTakesWork) {
  folder.createSystem();
  folder.write("plain.bin", "abc");
  fs::create_directory(folder.path("folder"));
  const std::string uncreatable =
      "Loading System data...\nEncrypting plain.bin...\nTarget file cannot be created error.\n";
  folder.expectSession(
      true, {{"enc plain.bin " + std::string(241, 'n') + " 1 1 1", encrypted("plain.bin")},
             {"enc plain.bin " + std::string(255, 'n') + " 1 1 1", encrypted("plain.bin")},
             {"enc plain.bin missing/out.enc 1 1 1", uncreatable},
             {"enc plain.bin folder 1 1 1", uncreatable}});
  EXPECT_EQ(folder.read(std::string(241, 'n')).size(), 3u);
  EXPECT_EQ(folder.read(std::string(255, 'n')).size(), 3u);
  EXPECT_EQ(folder.leftovers(), std::vector<std::string>{});
}

// Signals at random moments of cryptions: whatever the moment, no temporary
// file, no extracted plugin and no partial output is left behind, and an
// interrupt still ends the tool as an interrupt.
TEST_F(CryptionTest, SignalsAtRandomMomentsLeaveNothingHalfDone) {
  folder.createSystem("3 4 5 l");
  const std::string plain = randomBytes(1 << 20, 6);
  folder.write("plain.bin", plain);
  folder.expectSession(true, {{"enc plain.bin whole.enc 1 2 3", encrypted("plain.bin", true)}});
  const std::uintmax_t encryptedSize = fs::file_size(folder.path("whole.enc"));
  // Delays run over as long as a whole run takes here, whatever the build.
  const auto started = std::chrono::steady_clock::now();
  folder.expectSession(true, {{"dec whole.enc timed.out 1 2 3", decrypted("whole.enc", true)}});
  const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - started);

  const unsigned seed = std::random_device{}();
  std::mt19937 dice(seed);
  constexpr int kSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};
  for (int run = 0; run < 24; ++run) {
    const bool decrypting = run % 2 == 1;
    const int signalNumber = kSignals[dice() % std::size(kSignals)];
    const std::chrono::microseconds delay = randomDelay(dice, runTime);
    const std::string target = decrypting ? "plain.out" : "cipher.enc";
    const auto result = folder.runAndSignal(
        decrypting ? "dec whole.enc plain.out 1 2 3\n" : "enc plain.bin cipher.enc 1 2 3\n",
        decrypting ? "Decrypting" : "Encrypting", signalNumber, delay);
    const std::string context = "seed " + std::to_string(seed) + ", run " + std::to_string(run) +
                                ", signal " + std::to_string(signalNumber) + " after " +
                                std::to_string(delay.count()) + " us";
    ASSERT_FALSE(result.timedOut) << context;
    if (signalNumber == SIGINT) {
      EXPECT_EQ(result.signal, SIGINT) << context;
    } else {
      EXPECT_TRUE(result.exited && result.status == 0) << context;
    }
    EXPECT_EQ(folder.leftovers(), std::vector<std::string>{}) << context;
    if (!folder.exists(target)) continue;
    if (decrypting) {
      EXPECT_TRUE(folder.read(target) == plain) << context;
    } else {
      EXPECT_EQ(fs::file_size(folder.path(target)), encryptedSize) << context;
    }
    fs::remove(folder.path(target));
  }
}

TEST_F(CryptionTest, AFailedWriteLeavesTheOlderOutputAndNoPartialFile) {
  folder.createSystem("3 4 5 h");
  folder.write("plain.bin", randomBytes(100000, 3));
  folder.write("out.enc", "older output");
  std::string out;
  {
    const FileSizeLimit limit(1 << 20);
    out = folder.session({{"enc plain.bin out.enc 1 1 1", ""}});
  }
  EXPECT_NE(out.find("Encrypting plain.bin with expansion...\nTarget file could not be written "
                     "error.\n[Vantor] "),
            std::string::npos)
      << out;
  EXPECT_EQ(folder.read("out.enc"), "older output");
  EXPECT_EQ(folder.fileNames(),
            (std::vector<std::string>{"K11.bin", "K12.bin", "K13.bin", "k2.dat", "k3.bin",
                                      "out.enc", "plain.bin", "sys.dat"}));
}

// Reads count bytes at offset of a file.
std::string bytesAt(const std::string& path, std::uint64_t offset, std::size_t count) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  std::string bytes(count, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(count));
  return bytes;
}

// Lengths and positions past 2^31 bytes; 4 GiB of disk, so only in an
// optimised build with room to spare.
TEST_F(CryptionTest, FilesOfTwoGibibytesAndMoreRoundTrip) {
#ifndef NDEBUG
  GTEST_SKIP() << "an unoptimised build would take minutes";
#endif
  struct statvfs disk {};
  ASSERT_EQ(statvfs(folder.path("").c_str(), &disk), 0);
  if (static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize < (6ull << 30))
    GTEST_SKIP() << "less than 6 GiB free";
  folder.createSystem();
  const std::uint64_t size = (1ull << 31) + 4099;
  const std::string tail = randomBytes(4099 + 17, 4);
  {
    std::ofstream out(folder.path("huge.bin"), std::ios::binary);
    out.seekp(static_cast<std::streamoff>(size - tail.size()));
    out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
  }
  ASSERT_EQ(fs::file_size(folder.path("huge.bin")), size);
  folder.expectSession(true, {{"enc huge.bin huge.enc 1 2 3", encrypted("huge.bin")}});
  fs::remove(folder.path("huge.bin"));
  folder.expectSession(true, {{"dec huge.enc huge.dec 1 2 3", decrypted("huge.enc")}});
  EXPECT_EQ(fs::file_size(folder.path("huge.enc")), size);
  EXPECT_EQ(fs::file_size(folder.path("huge.dec")), size);
  EXPECT_EQ(bytesAt(folder.path("huge.dec"), size - tail.size(), tail.size()), tail);
  EXPECT_EQ(bytesAt(folder.path("huge.dec"), (1ull << 31) - 1024, 8), std::string(8, '\0'));
}

TEST_F(CryptionTest, DamagedKeySystemIsReportedAndNoFileIsWritten) {
  folder.createSystem();
  folder.write("plain.bin", "abc");
  // Removed behind the tool's back: its counts still say 5 entries.
  const std::vector<Exchange> exchanges = {
      {"rm k3.bin", ""},
      {"enc plain.bin out.enc 1 1 1",
       "Loading System data...\nKey system file k3.bin cannot be read error.\n"},
      {"sysdat", "Examining System...\nKey system file k3.bin cannot be read error.\n"},
      {"enc plain.bin out.enc 1 1 1", "Key component 3 contains 0 elements\n"},
  };
  folder.expectSession(true, exchanges);
  EXPECT_FALSE(folder.exists("out.enc"));
  // At start the report follows the state line.
  EXPECT_EQ(folder.session({}), banner(true) + "Key system file k3.bin cannot be read error.\n" +
                                    kPrompt + kTerminated);
}

}  // namespace
}  // namespace vantor::test
