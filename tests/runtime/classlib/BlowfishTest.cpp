#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ClasslibTest.h"
#include "classlib/Blowfish.h"
#include "classlib/BlowfishApi.h"
#include "classlib/BlowfishObject.h"
#include "classlib/MemoryBlock.h"
#include "classlib/MemoryBlockApi.h"
#include "objects/ClassRegistry.h"
#include "text/Encodings.h"
#include "text/StringHandle.h"

namespace {

using classlib_test::ClasslibTest;
using classlib_test::takeExceptionName;
using rt::Object;
using namespace rt::classlib;

// The published electronic-code-book test set: key, plaintext, ciphertext.
struct Vector {
  std::uint64_t key;
  std::uint64_t plain;
  std::uint64_t cipher;
};

constexpr Vector kVectors[] = {
    {0x0000000000000000, 0x0000000000000000, 0x4EF997456198DD78},
    {0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFF, 0x51866FD5B85ECB8A},
    {0x3000000000000000, 0x1000000000000001, 0x7D856F9A613063F2},
    {0x1111111111111111, 0x1111111111111111, 0x2466DD878B963C9D},
    {0x0123456789ABCDEF, 0x1111111111111111, 0x61F9C3802281B096},
    {0x1111111111111111, 0x0123456789ABCDEF, 0x7D0CC630AFDA1EC7},
    {0xFEDCBA9876543210, 0x0123456789ABCDEF, 0x0ACEAB0FC6A0A28D},
    {0x7CA110454A1A6E57, 0x01A1D6D039776742, 0x59C68245EB05282B},
    {0x0131D9619DC1376E, 0x5CD54CA83DEF57DA, 0xB1B8CC0B250F09A0},
    {0x07A1133E4A0B2686, 0x0248D43806F67172, 0x1730E5778BEA1DA4},
    {0x3849674C2602319E, 0x51454B582DDF440A, 0xA25E7856CF2651EB},
    {0x04B915BA43FEB5B6, 0x42FD443059577FA2, 0x353882B109CE8F1A},
    {0x0113B970FD34F2CE, 0x059B5E0851CF143A, 0x48F4D0884C379918},
    {0x0170F175468FB5E6, 0x0756D8E0774761D2, 0x432193B78951FC98},
    {0x43297FAD38E373FE, 0x762514B829BF486A, 0x13F04154D69D1AE5},
    {0x07A7137045DA2A16, 0x3BDD119049372802, 0x2EEDDA93FFD39C79},
    {0x04689104C2FD3B2F, 0x26955F6835AF609A, 0xD887E0393C2DA6E3},
    {0x37D06BB516CB7546, 0x164D5E404F275232, 0x5F99D04F5B163969},
    {0x1F08260D1AC2465E, 0x6B056E18759F5CCA, 0x4A057A3B24D3977B},
    {0x584023641ABA6176, 0x004BD6EF09176062, 0x452031C1E4FADA8E},
    {0x025816164629B007, 0x480D39006EE762F2, 0x7555AE39F59B87BD},
    {0x49793EBC79B3258F, 0x437540C8698F3CFA, 0x53C55F9CB49FC019},
    {0x4FB05E1515AB73A7, 0x072D43A077075292, 0x7A8E7BFA937E89A3},
    {0x49E95D6D4CA229BF, 0x02FE55778117F12A, 0xCF9C5D7A4986ADB5},
    {0x018310DC409B26D6, 0x1D9D5C5018F728C2, 0xD1ABB290658BC778},
    {0x1C587F1C13924FEF, 0x305532286D6F295A, 0x55CB3774D13EF201},
    {0x0101010101010101, 0x0123456789ABCDEF, 0xFA34EC4847B268B2},
    {0x1F1F1F1F0E0E0E0E, 0x0123456789ABCDEF, 0xA790795108EA3CAE},
    {0xE0FEE0FEF1FEF1FE, 0x0123456789ABCDEF, 0xC39E072D9FAC631D},
    {0x0000000000000000, 0xFFFFFFFFFFFFFFFF, 0x014933E0CDAFF6E4},
    {0xFFFFFFFFFFFFFFFF, 0x0000000000000000, 0xF21E9A77B71C49BC},
    {0x0123456789ABCDEF, 0x0000000000000000, 0x245946885754369A},
    {0xFEDCBA9876543210, 0xFFFFFFFFFFFFFFFF, 0x6B5C5A9C5D9E0A5A},
};

std::string keyBytes(std::uint64_t key) {
  std::string bytes;
  for (int shift = 56; shift >= 0; shift -= 8) bytes += static_cast<char>(key >> shift);
  return bytes;
}

std::uint32_t high(std::uint64_t block) { return static_cast<std::uint32_t>(block >> 32); }
std::uint32_t low(std::uint64_t block) { return static_cast<std::uint32_t>(block); }

Object newBlowfish() {
  return Object::adopt(RuntimeNewObject(rt::objects::classFor(blowfishClass)));
}

void initialize(const Object& blowfish, std::string_view key) {
  BlowfishInitialize(blowfish.get(), rt::String::bytes(key, kEncodingUnknown).get());
}

std::uint64_t encipher(const Object& blowfish, std::uint64_t block) {
  std::uint32_t left = high(block), right = low(block);
  BlowfishEncipher(blowfish.get(), &left, &right);
  return std::uint64_t{left} << 32 | right;
}

using BlowfishTest = ClasslibTest;

TEST_F(BlowfishTest, ScheduleAndStringKeysMeetThePublishedVectors) {
  auto schedule = std::make_unique<BlowfishSchedule>();
  const Object blowfish = newBlowfish();
  for (const Vector& v : kVectors) {
    const std::string key = keyBytes(v.key);
    setBlowfishKey(*schedule, {reinterpret_cast<const unsigned char*>(key.data()), key.size()});
    std::uint32_t left = high(v.plain), right = low(v.plain);
    blowfishEncipher(*schedule, left, right);
    EXPECT_EQ(std::uint64_t{left} << 32 | right, v.cipher) << std::hex << "key " << v.key;
    blowfishDecipher(*schedule, left, right);
    EXPECT_EQ(std::uint64_t{left} << 32 | right, v.plain) << std::hex << "key " << v.key;
    // Keys without zero bytes mean the same given as strings.
    if (key.find('\0') != std::string::npos) continue;
    initialize(blowfish, key);
    EXPECT_EQ(encipher(blowfish, v.plain), v.cipher) << std::hex << "string key " << v.key;
  }
  initialize(blowfish, "abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(encipher(blowfish, 0x424C4F5746495348), 0x324ED0FEF413A203u) << "BLOWFISH";
  // The block test's published vector, deciphered word by word.
  initialize(blowfish, "Who is John Galt?");
  std::uint32_t left = 0xCC91732B, right = 0x8022F684;
  BlowfishDecipher(blowfish.get(), &left, &right);
  EXPECT_EQ(std::uint64_t{left} << 32 | right, 0xFEDCBA9876543210u);
}

TEST_F(BlowfishTest, KeysEndAtTheFirstZeroByte) {
  const Object blowfish = newBlowfish();
  initialize(blowfish, "ab");
  const std::uint64_t short_ = encipher(blowfish, 42);
  initialize(blowfish, std::string("ab\0cd", 5));
  EXPECT_EQ(encipher(blowfish, 42), short_);

  // A long key cycles like any other; only its first 72 bytes reach the P-array.
  std::string key(40000, 'k');
  key[71] = 'x';
  initialize(blowfish, key.substr(0, 72));
  const std::uint64_t first72 = encipher(blowfish, 42);
  initialize(blowfish, key);
  EXPECT_EQ(encipher(blowfish, 42), first72);
  key[70] = 'y';
  initialize(blowfish, key);
  EXPECT_NE(encipher(blowfish, 42), first72);
}

TEST_F(BlowfishTest, NoKeyBytesAreReportedAndChangeNothing) {
  const Object blowfish = newBlowfish();
  initialize(blowfish, "key");
  const std::uint64_t keyed = encipher(blowfish, 7);
  for (const std::string& key : {std::string(), std::string("\0abc", 4)}) {
    testing::internal::CaptureStdout();
    initialize(blowfish, key);
    const std::string report = testing::internal::GetCapturedStdout();
    EXPECT_NE(report.find("../Common/BlowFish: 322\nFailure Condition: initStr\n"
                          "Cannot initialize blowfish with an empty string\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(encipher(blowfish, 7), keyed);
  }
  BlowfishInitialize(nullptr, rt::String("key").get());
  EXPECT_EQ(takeExceptionName(), "NilObjectException");
}

TEST_F(BlowfishTest, BlocksAreEnciphered8BytesAtATimeInTheirByteOrder) {
  const Object blowfish = newBlowfish();
  initialize(blowfish, "Who is John Galt?");
  const std::string plain = "\xFE\xDC\xBA\x98\x76\x54\x32\x10\xFE\xDC\xBA\x98\x76\x54\x32\x10";
  std::string enciphered[2];
  for (bool littleEndian : {false, true}) {
    const Object block = Object::adopt(MemoryBlockFromStringOperator(rt::String(plain).get()));
    blockOf(block.get()).littleEndian = littleEndian;
    BlowfishEncipherByBlock(blowfish.get(), block.get());
    const std::string bytes = rt::String::adopt(MemoryBlockToStringOperator(block.get())).str();
    // Electronic code book: equal plaintext blocks give equal ciphertext blocks.
    EXPECT_EQ(bytes.substr(0, 8), bytes.substr(8, 8));
    BlowfishDecipherByBlock(blowfish.get(), block.get());
    EXPECT_EQ(rt::String::adopt(MemoryBlockToStringOperator(block.get())).str(), plain);
    enciphered[littleEndian] = bytes;
  }
  EXPECT_EQ(enciphered[false].substr(0, 8), "\xCC\x91\x73\x2B\x80\x22\xF6\x84")
      << "big-endian words are the published byte order";
  EXPECT_NE(enciphered[true], enciphered[false]);
}

TEST_F(BlowfishTest, OnlyWholeBlocksAreEnciphered) {
  const Object blowfish = newBlowfish();
  initialize(blowfish, "key");
  const Object block = Object::adopt(newMemoryBlock(12));
  memorySetByte(block.get(), 0, 0x5A);
  BlowfishEncipherByBlock(blowfish.get(), block.get());
  EXPECT_EQ(classlib_test::pendingMessage(),
            "The data being encrypted must be in multiples of 8 bytes");
  EXPECT_EQ(takeExceptionName(), "UnsupportedFormatException");
  BlowfishDecipherByBlock(blowfish.get(), block.get());
  EXPECT_EQ(classlib_test::pendingMessage(),
            "The data being decrypted must be in multiples of 8 bytes");
  EXPECT_EQ(takeExceptionName(), "UnsupportedFormatException");
  EXPECT_EQ(memoryGetByte(block.get(), 0), 0x5A);
  EXPECT_EQ(memoryGetByte(block.get(), 8), 0);

  const Object empty = Object::adopt(newMemoryBlock(0));
  BlowfishEncipherByBlock(blowfish.get(), empty.get());
  BlowfishEncipherByBlock(blowfish.get(), nullptr);
  EXPECT_EQ(takeExceptionName(), "");
}

}  // namespace
