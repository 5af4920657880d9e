#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "FileTest.h"
#include "files/FolderItem.h"
#include "objects/ExceptionHandle.h"
#include "text/Encodings.h"
#include "text/TextEncodingClass.h"

namespace {

using rt::BinaryStream;
using rt::FolderItem;
using rt::String;

constexpr std::int64_t kThreeGiB = std::int64_t{3} << 30;

class BinaryStreamTest : public rt::test::FileTest {
 protected:
  BinaryStream create(const char* name = "data") {
    BinaryStream stream = FolderItem::get(String(name)).createBinaryFile();
    EXPECT_TRUE(stream);
    return stream;
  }
  BinaryStream open(const char* name, bool write = false) {
    BinaryStream stream = FolderItem::get(String(name)).openAsBinaryFile(write);
    EXPECT_TRUE(stream);
    return stream;
  }
};

TEST_F(BinaryStreamTest, NumbersAreBigEndianUnlessLittleEndian) {
  const struct {
    std::function<void(BinaryStream&)> write;
    bool littleEndian;
    std::string bytes;
  } cases[] = {
      {[](BinaryStream& s) { s.writeInt32(1); }, false, std::string("\0\0\0\1", 4)},
      {[](BinaryStream& s) { s.writeInt32(1); }, true, std::string("\1\0\0\0", 4)},
      {[](BinaryStream& s) { s.writeInt16(0x1234); }, false, "\x12\x34"},
      {[](BinaryStream& s) { s.writeUInt16(0x1234); }, true, "\x34\x12"},
      {[](BinaryStream& s) { s.writeUInt32(0x89ABCDEF); }, false, "\x89\xAB\xCD\xEF"},
      {[](BinaryStream& s) { s.writeInt64(0x0102030405060708); }, false,
       "\x01\x02\x03\x04\x05\x06\x07\x08"},
      {[](BinaryStream& s) { s.writeUInt64(0x0102030405060708); }, true,
       "\x08\x07\x06\x05\x04\x03\x02\x01"},
      {[](BinaryStream& s) { s.writeByte(0xAB); }, false, "\xAB"},
      {[](BinaryStream& s) { s.writeBoolean(true); }, false, "\x01"},
  };
  for (const auto& c : cases) {
    BinaryStream stream = create();
    EXPECT_FALSE(stream.littleEndian());
    stream.setLittleEndian(c.littleEndian);
    c.write(stream);
    stream.close();
    EXPECT_EQ(readFile("data"), c.bytes) << "little-endian " << c.littleEndian;
  }
}

TEST_F(BinaryStreamTest, ReadsInterpretSignAndOrder) {
  writeFile("data", "\xFF\xFF\xFF\xFE");
  BinaryStream stream = open("data");
  EXPECT_EQ(stream.readInt32(), -2);
  stream.setPosition(0);
  EXPECT_EQ(stream.readUInt32(), 0xFFFFFFFEu);
  stream.setPosition(2);
  EXPECT_EQ(stream.readInt16(), -2);
  stream.setPosition(2);
  EXPECT_EQ(stream.readUInt16(), 0xFFFE);
  stream.setPosition(3);
  EXPECT_EQ(stream.readInt8(), -2);
  stream.setPosition(3);
  EXPECT_EQ(stream.readByte(), 0xFE);
  stream.setPosition(0);
  stream.setLittleEndian(true);
  EXPECT_EQ(stream.readUInt32(), 0xFEFFFFFFu);
}

TEST_F(BinaryStreamTest, SixtyFourBitNumbersRoundTrip) {
  BinaryStream stream = create();
  stream.writeInt64(-3);
  stream.writeUInt64(0xFEDCBA9876543210);
  stream.setPosition(0);
  EXPECT_EQ(stream.readInt64(), -3);
  EXPECT_EQ(stream.readUInt64(), 0xFEDCBA9876543210u);
}

TEST_F(BinaryStreamTest, ShortReadsGiveZeroButAdvance) {
  writeFile("data", "\x01\x02\x03");
  BinaryStream stream = open("data");
  EXPECT_EQ(stream.readInt32(), 0);
  EXPECT_EQ(stream.position(), 3);
  EXPECT_TRUE(stream.eof());
  EXPECT_EQ(stream.readByte(), 0);
  EXPECT_FALSE(stream.readBoolean());
  EXPECT_EQ(stream.lastErrorCode(), 0);
}

TEST_F(BinaryStreamTest, ReadIsClampedToWhatIsLeftAndTagged) {
  writeFile("data", "abcdef");
  BinaryStream stream = open("data");
  stream.setPosition(2);
  String rest = stream.read(10);
  EXPECT_EQ(rest.str(), "cdef");
  EXPECT_EQ(rest.encoding(), kEncodingUnknown);
  EXPECT_TRUE(stream.read(10).empty());
  stream.setPosition(0);
  EXPECT_TRUE(stream.read(0).empty());
  EXPECT_TRUE(stream.read(-1).empty());
  rt::Object latin1 = rt::Object::adopt(rt::text::newTextEncoding(513));
  EXPECT_EQ(stream.read(2, latin1).encoding(), 513u);
}

TEST_F(BinaryStreamTest, PascalStringsCarryAtMost255Bytes) {
  const std::string long300(300, 'x');
  BinaryStream stream = create();
  stream.writePString(String(long300));
  stream.writePString(String());
  stream.writePString(String("hi"));
  stream.close();
  const std::string bytes = readFile("data");
  ASSERT_EQ(bytes.size(), 1u + 255 + 1 + 3);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 255);
  EXPECT_EQ(bytes.substr(1, 255), long300.substr(0, 255));
  EXPECT_EQ(bytes.substr(256), std::string("\0\2hi", 4));

  BinaryStream input = open("data");
  EXPECT_EQ(input.readPString().length(), 255u);
  EXPECT_TRUE(input.readPString().empty());
  EXPECT_EQ(input.readPString().str(), "hi");
  EXPECT_TRUE(input.readPString().empty());
  writeFile("cut", "\5abc");
  EXPECT_EQ(open("cut").readPString().str(), "abc") << "a string cut by the end";
}

TEST_F(BinaryStreamTest, ReadingAndWritingMayAlternateWithoutSeeking) {
  writeFile("data", "abcd");
  BinaryStream stream = open("data", true);
  EXPECT_EQ(stream.readByte(), 'a');
  stream.writeByte('X');
  EXPECT_EQ(stream.readByte(), 'c');
  stream.write(String("YZ"));
  EXPECT_EQ(stream.length(), 5);
  stream.close();
  EXPECT_EQ(readFile("data"), "aXcYZ");
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string readBulk(BinaryStream& stream, std::size_t count) {
  std::string bytes(count, '\0');
  bytes.resize(stream.readInto({reinterpret_cast<std::uint8_t*>(bytes.data()), count}));
  return bytes;
}

// Bulk transfers bypass the C library's buffer: bytes it holds, to write or
// read ahead, must neither be lost nor be read stale afterwards.
TEST_F(BinaryStreamTest, BulkTransfersMixWithTheOtherCalls) {
  const struct {
    const char* what;
    const char* initial;
    std::function<std::string(BinaryStream&)> steps;
    std::string expected;  // what the steps give, then the file
  } cases[] = {
      {"a buffered write before and after a bulk write", "",
       [](BinaryStream& s) {
         s.writeByte('a');
         EXPECT_TRUE(s.writeFrom(bytesOf("bcd")));
         s.writeByte('e');
         return std::to_string(s.position());
       },
       "5|abcde"},
      {"a bulk read after a byte read and after a seek", "0123456789",
       [](BinaryStream& s) {
         std::string got(1, static_cast<char>(s.readByte()));
         got += readBulk(s, 3);
         s.setPosition(5);
         got += readBulk(s, 2);
         got += std::to_string(s.position());
         return got + static_cast<char>(s.readByte());
       },
       "01235677|0123456789"},
      {"a byte read after a bulk write over bytes read ahead", "0123456789",
       [](BinaryStream& s) {
         std::string got(1, static_cast<char>(s.readByte()));
         s.setPosition(2);
         EXPECT_TRUE(s.writeFrom(bytesOf("XY")));
         got += static_cast<char>(s.readByte());
         s.setPosition(0);
         got += readBulk(s, 20);
         return got + std::to_string(s.position());
       },
       "0401XY45678910|01XY456789"},
      {"a bulk read cut short by the end", "0123456789",
       [](BinaryStream& s) {
         s.setPosition(7);
         std::string got = readBulk(s, 10);
         got += std::to_string(s.position());
         got += readBulk(s, 10);
         return got + (s.eof() ? "eof" : "");
       },
       "78910eof|0123456789"},
  };
  for (const auto& c : cases) {
    writeFile("data", c.initial);
    BinaryStream stream = open("data", true);
    const std::string got = c.steps(stream);
    EXPECT_EQ(stream.lastErrorCode(), 0) << c.what;
    stream.close();
    EXPECT_EQ(got + "|" + readFile("data"), c.expected) << c.what;
  }
}

TEST_F(BinaryStreamTest, LengthCanTruncateAndExtend) {
  BinaryStream stream = create();
  stream.write(String("abcdef"));
  EXPECT_EQ(stream.length(), 6);
  stream.setLength(3);
  EXPECT_EQ(stream.length(), 3);
  stream.setLength(5);
  stream.close();
  EXPECT_EQ(readFile("data"), std::string("abc\0\0", 5));
}

TEST_F(BinaryStreamTest, FilesBeyondTwoGiBAreReadAndWritten) {
  BinaryStream stream = create();
  stream.setLength(kThreeGiB);
  EXPECT_EQ(stream.length(), kThreeGiB);
  stream.setPosition(kThreeGiB - 4);
  stream.writeInt32(0x01020304);
  EXPECT_EQ(stream.position(), kThreeGiB);
  EXPECT_TRUE(stream.eof());
  stream.setPosition(kThreeGiB - 4);
  EXPECT_EQ(stream.readInt32(), 0x01020304);
  stream.close();
  EXPECT_EQ(stream.lastErrorCode(), 0);
  EXPECT_EQ(FolderItem::get(String("data")).length(), static_cast<std::uint64_t>(kThreeGiB));
}

TEST_F(BinaryStreamTest, AClosedStreamReadsAndWritesNothing) {
  writeFile("data", "abc");
  BinaryStream stream = open("data", true);
  stream.close();
  EXPECT_EQ(stream.readByte(), 0);
  EXPECT_TRUE(stream.read(3).empty());
  EXPECT_TRUE(readBulk(stream, 3).empty());
  EXPECT_TRUE(stream.eof());
  EXPECT_EQ(stream.length(), 0);
  EXPECT_EQ(stream.position(), 0);
  stream.writeInt32(7);
  EXPECT_FALSE(stream.writeFrom(bytesOf("xyz")));
  stream.flush();
  stream.close();
  EXPECT_EQ(stream.lastErrorCode(), 0);
  EXPECT_EQ(readFile("data"), "abc");
}

// Buffered bytes reach the device only when the stream is flushed or turns to
// reading; a failure then is the write's and must not be lost.
TEST_F(BinaryStreamTest, WriteFailuresLeaveErrnoAndTheCodeSurvivesClose) {
  writeFile("data", "abc");
  BinaryStream bulk = open("data");
  EXPECT_FALSE(bulk.writeFrom(bytesOf("xyz")));
  EXPECT_EQ(bulk.lastErrorCode(), EBADF);
  BinaryStream buffered = open("data");
  buffered.writeByte(1);
  buffered.flush();
  EXPECT_EQ(buffered.lastErrorCode(), EBADF);
  buffered.close();
  EXPECT_EQ(buffered.lastErrorCode(), EBADF);
  EXPECT_EQ(readFile("data"), "abc");

  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "needs /dev/full";
  BinaryStream full = open("/dev/full", true);
  EXPECT_FALSE(full.writeFrom(bytesOf("xyz")));
  EXPECT_EQ(full.lastErrorCode(), ENOSPC);
  BinaryStream turning = open("/dev/full", true);
  turning.writeByte(1);
  EXPECT_EQ(turning.lastErrorCode(), 0);
  turning.readByte();
  EXPECT_EQ(turning.lastErrorCode(), ENOSPC);
}

TEST_F(BinaryStreamTest, NilStreamsRaiseNilObjectException) {
  BinaryStream none;
  EXPECT_THROW(none.readByte(), rt::Exception);
  EXPECT_THROW(none.setLittleEndian(true), rt::Exception);
  EXPECT_THROW(none.close(), rt::Exception);
}

}  // namespace
