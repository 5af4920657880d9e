#include <cstdint>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ClasslibTest.h"
#include "classlib/MemoryBlock.h"
#include "classlib/MemoryBlockApi.h"
#include "objects/ClassRegistry.h"
#include "text/Encodings.h"
#include "text/StringHandle.h"
#include "text/TextEncodingClass.h"

namespace {

using classlib_test::ClasslibTest;
using classlib_test::takeExceptionName;
using rt::Object;
using Bytes = std::vector<unsigned char>;

Object blockOf(const Bytes& bytes) {
  Object block = Object::adopt(newMemoryBlock(static_cast<int32_t>(bytes.size())));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    memorySetByte(block.get(), static_cast<int32_t>(i), bytes[i]);
  }
  return block;
}

Object blockOf(const char* text) {
  return Object::adopt(MemoryBlockFromStringOperator(rt::String(text).get()));
}

Bytes bytesIn(const Object& block) {
  const auto& b = rt::classlib::blockOf(block.get());
  return b.data != nullptr ? Bytes(b.data, b.data + b.size) : Bytes();
}

std::string hexIn(const Object& block) {
  std::string hex;
  for (const unsigned char byte : bytesIn(block)) {
    hex += "0123456789ABCDEF"[byte >> 4];
    hex += "0123456789ABCDEF"[byte & 0xF];
  }
  return hex;
}

std::string textIn(const Object& block) {
  return rt::String::adopt(MemoryBlockToStringOperator(block.get())).str();
}

void setLittleEndian(const Object& block, bool littleEndian) {
  rt::classlib::blockOf(block.get()).littleEndian = littleEndian;
}

using MemoryBlockTest = ClasslibTest;

TEST_F(MemoryBlockTest, NumbersReadInEitherByteOrderAndSignedReadsExtendTheSign) {
  const Object counting = blockOf(Bytes{1, 2, 3, 4, 5, 6, 7, 8});
  const Object ones = blockOf(Bytes(8, 0xFF));
  const struct {
    const char* reader;
    std::function<std::int64_t(RTObject*)> read;
    std::int64_t littleEndian;  // of the counting bytes
    std::int64_t bigEndian;
    std::int64_t allOnes;
  } rows[] = {
      {"Long 0", [](RTObject* b) { return memoryGetLong(b, 0); }, 0x04030201, 0x01020304, -1},
      {"UInt32 4", [](RTObject* b) { return memoryGetUInt32(b, 4); }, 0x08070605, 0x05060708,
       0xFFFFFFFF},
      {"Short 0", [](RTObject* b) { return memoryGetShort(b, 0); }, 0x0201, 0x0102, -1},
      {"UShort 0", [](RTObject* b) { return memoryGetUShort(b, 0); }, 0x0201, 0x0102, 65535},
      {"UInt16 6", [](RTObject* b) { return memoryGetUInt16(b, 6); }, 0x0807, 0x0708, 65535},
      {"Int64 0", [](RTObject* b) { return memoryGetInt64(b, 0); }, 0x0807060504030201,
       0x0102030405060708, -1},
      {"Byte 3", [](RTObject* b) { return memoryGetByte(b, 3); }, 4, 4, 255},
      {"Int8 3", [](RTObject* b) { return memoryGetInt8(b, 3); }, 4, 4, -1},
      {"Boolean 0", [](RTObject* b) { return memoryGetBoolean(b, 0) != 0; }, 1, 1, 1},
  };
  for (const auto& row : rows) {
    setLittleEndian(counting, true);
    EXPECT_EQ(row.read(counting.get()), row.littleEndian) << row.reader << ", little-endian";
    setLittleEndian(counting, false);
    EXPECT_EQ(row.read(counting.get()), row.bigEndian) << row.reader << ", big-endian";
    EXPECT_EQ(row.read(ones.get()), row.allOnes) << row.reader << ", all ones";
  }
}

TEST_F(MemoryBlockTest, WritesStoreTheBytesOfTheByteOrder) {
  const struct {
    const char* writer;
    std::function<void(RTObject*)> write;
    const char* littleEndian;  // the 8 bytes of the block, in hex
    const char* bigEndian;
  } rows[] = {
      {"Long", [](RTObject* b) { memorySetLong(b, 0, 0x01020304); }, "0403020100000000",
       "0102030400000000"},
      {"UInt32", [](RTObject* b) { memorySetUInt32(b, 4, 0xFFFEFDFC); }, "00000000FCFDFEFF",
       "00000000FFFEFDFC"},
      {"Short", [](RTObject* b) { memorySetShort(b, 1, -2); }, "00FEFF0000000000",
       "00FFFE0000000000"},
      {"UInt16", [](RTObject* b) { memorySetUInt16(b, 6, 0xABCD); }, "000000000000CDAB",
       "000000000000ABCD"},
      {"Int64", [](RTObject* b) { memorySetInt64(b, 0, 0x0102030405060708); }, "0807060504030201",
       "0102030405060708"},
      {"Single", [](RTObject* b) { memorySetSingle(b, 0, 1.0f); }, "0000803F00000000",
       "3F80000000000000"},
      {"Double", [](RTObject* b) { memorySetDouble(b, 0, 1.0); }, "000000000000F03F",
       "3FF0000000000000"},
      {"Int8", [](RTObject* b) { memorySetInt8(b, 7, -1); }, "00000000000000FF",
       "00000000000000FF"},
      {"UInt8", [](RTObject* b) { memorySetUInt8(b, 0, 0x1FF); }, "FF00000000000000",
       "FF00000000000000"},
      {"Boolean", [](RTObject* b) { memorySetBoolean(b, 2, 5); }, "0000010000000000",
       "0000010000000000"},
  };
  for (const auto& row : rows) {
    for (bool littleEndian : {true, false}) {
      const Object block = Object::adopt(newMemoryBlock(8));
      setLittleEndian(block, littleEndian);
      row.write(block.get());
      EXPECT_EQ(hexIn(block), littleEndian ? row.littleEndian : row.bigEndian)
          << row.writer << (littleEndian ? ", little-endian" : ", big-endian");
    }
  }

  const Object block = Object::adopt(newMemoryBlock(8));
  setLittleEndian(block, false);
  memorySetSingle(block.get(), 0, 1.5f);
  EXPECT_EQ(memoryGetSingle(block.get(), 0), 1.5);
  memorySetDouble(block.get(), 0, -0.25);
  EXPECT_EQ(memoryGetDouble(block.get(), 0), -0.25);
}

TEST_F(MemoryBlockTest, AccessesOutsideAnOwnedBlockRaiseAndChangeNothing) {
  const Object block = blockOf(Bytes{1, 2, 3, 4});
  EXPECT_EQ(memoryGetLong(block.get(), 0), 0x04030201) << "a read up to the end is allowed";
  EXPECT_EQ(memoryGetShort(block.get(), 2), 0x0403);
  const struct {
    const char* access;
    std::function<std::int64_t()> run;
  } refused[] = {
      {"Long at 1", [&] { return memoryGetLong(block.get(), 1); }},
      {"Byte at -1", [&] { return memoryGetByte(block.get(), -1); }},
      {"Byte at 4", [&] { return memoryGetByte(block.get(), 4); }},
      {"Int64 at 0", [&] { return memoryGetInt64(block.get(), 0); }},
      {"Short at INT32_MAX", [&] { return memoryGetShort(block.get(), INT32_MAX); }},
      {"Long written at 2",
       [&] {
         memorySetLong(block.get(), 2, -1);
         return 0;
       }},
      {"Double written at -4",
       [&] {
         memorySetDouble(block.get(), -4, 1.0);
         return 0;
       }},
      {"Byte written at 4",
       [&] {
         memorySetByte(block.get(), 4, 9);
         return 0;
       }},
  };
  for (const auto& access : refused) {
    EXPECT_EQ(access.run(), 0) << access.access;
    EXPECT_EQ(takeExceptionName(), "OutOfBoundsException") << access.access;
  }
  EXPECT_EQ(bytesIn(block), (Bytes{1, 2, 3, 4}));

  const Object empty = Object::adopt(newMemoryBlock(0));
  EXPECT_EQ(memoryGetByte(empty.get(), 0), 0);
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException") << "any read of a size-0 block";
  EXPECT_EQ(memoryGetByte(nullptr, 0), 0);
  EXPECT_EQ(takeExceptionName(), "NilObjectException");
}

TEST_F(MemoryBlockTest, WrappingBlocksCheckNothingButNeedAnAddress) {
  unsigned char foreign[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  const Object block = Object::adopt(PtrToMemoryBlock(foreign));
  EXPECT_EQ(memoryBlockGetSize(block.get()), -1);
  EXPECT_EQ(memoryBlockGetPtr(block.get()), foreign);
  EXPECT_EQ(memoryGetLong(block.get(), 4), 0x08070605);
  memorySetShort(block.get(), 6, 0);
  EXPECT_EQ(foreign[7], 0);
  EXPECT_EQ(textIn(block), "") << "a wrapping block's size is unknown";

  EXPECT_EQ(Object::adopt(ConvertPtrToMemoryBlock(nullptr)), nullptr);
  const Object nowhere = Object::adopt(PtrToMemoryBlock(nullptr));
  EXPECT_EQ(memoryGetByte(nowhere.get(), 0), 0);
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException");

  // Giving it a size makes it a block of its own; the foreign bytes stay.
  memoryBlockSetSize(block.get(), 3);
  EXPECT_EQ(bytesIn(block), (Bytes{0, 0, 0}));
  EXPECT_EQ(foreign[0], 1);
}

TEST_F(MemoryBlockTest, SizeChangesKeepTheLeadingBytes) {
  const Object block = blockOf(Bytes{0xAB, 0xCD});
  memoryBlockSetSize(block.get(), 4);
  EXPECT_EQ(bytesIn(block), (Bytes{0xAB, 0xCD, 0, 0}));
  memoryBlockSetSize(block.get(), 1);
  EXPECT_EQ(bytesIn(block), (Bytes{0xAB}));
  memoryBlockSetSize(block.get(), -1);
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException");
  EXPECT_EQ(memoryBlockGetSize(block.get()), 1);
  memoryBlockSetSize(block.get(), 0);
  EXPECT_EQ(memoryBlockGetSize(block.get()), 0);
  EXPECT_EQ(memoryBlockGetPtr(block.get()), nullptr);

  memoryBlockNewConstructor(block.get(), 3);
  EXPECT_EQ(bytesIn(block), (Bytes{0, 0, 0}));
  memoryBlockNewConstructor(block.get(), -5);
  EXPECT_EQ(memoryBlockGetSize(block.get()), 0);
}

TEST_F(MemoryBlockTest, PiecesAreClippedToTheBlock) {
  const Object block = blockOf("abcdefgh");
  const struct {
    const char* piece;
    RTObject* made;
    const char* expected;  // null: no piece
  } rows[] = {
      {"MidB(-2, 5)", MemoryBlockMidB3(block.get(), -2, 5), "abc"},
      {"MidB(6, 5)", MemoryBlockMidB3(block.get(), 6, 5), "gh"},
      {"MidB(8, 1)", MemoryBlockMidB3(block.get(), 8, 1), nullptr},
      {"MidB(2, 0)", MemoryBlockMidB3(block.get(), 2, 0), nullptr},
      {"MidB(-5, 3)", MemoryBlockMidB3(block.get(), -5, 3), nullptr},
      {"LeftB(3)", MemoryBlockLeftB(block.get(), 3), "abc"},
      {"LeftB(20)", MemoryBlockLeftB(block.get(), 20), "abcdefgh"},
      {"MidB(5)", MemoryBlockMidB2(block.get(), 5), "fgh"},
      {"MidB(-1)", MemoryBlockMidB2(block.get(), -1), "abcdefgh"},
      {"MidB(INT32_MIN)", MemoryBlockMidB2(block.get(), INT32_MIN), "abcdefgh"},
      {"RightB(2)", MemoryBlockRightB(block.get(), 2), "gh"},
      {"RightB(10)", MemoryBlockRightB(block.get(), 10), "abcdefgh"},
      {"RightB(0)", MemoryBlockRightB(block.get(), 0), nullptr},
  };
  for (const auto& row : rows) {
    const Object piece = Object::adopt(row.made);
    if (row.expected == nullptr) {
      EXPECT_EQ(piece, nullptr) << row.piece;
    } else {
      EXPECT_EQ(textIn(piece), row.expected) << row.piece;
    }
  }

  setLittleEndian(block, false);
  const Object piece = Object::adopt(MemoryBlockLeftB(block.get(), 2));
  EXPECT_EQ(memoryGetShort(piece.get(), 0), 0x6162) << "the piece keeps the byte order";
}

TEST_F(MemoryBlockTest, OperatorsJoinAndCompareBytes) {
  const Object abc = blockOf("abc");
  const Object empty = Object::adopt(newMemoryBlock(0));
  const struct {
    const char* pair;
    Object a;
    Object b;
    std::int32_t expected;
  } rows[] = {
      {"equal bytes", blockOf("abc"), blockOf("abc"), 0},
      {"the same block", abc, abc, 0},
      {"a later byte", blockOf("abc"), blockOf("abd"), -1},
      {"the byte difference", blockOf("c"), blockOf("a"), 2},
      {"unsigned bytes", blockOf("\xFF"), blockOf("a"), 0xFF - 'a'},
      {"a prefix", blockOf("ab"), blockOf("abc"), -1},
      {"nil and size 0", Object(), empty, 0},
      {"nil and bytes", Object(), abc, -1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MemoryBlockCompareOperator(row.a.get(), row.b.get()), row.expected) << row.pair;
    EXPECT_EQ(MemoryBlockCompareOperator(row.b.get(), row.a.get()), -row.expected) << row.pair;
  }

  EXPECT_EQ(textIn(Object::adopt(MemoryBlockAddOperator(blockOf("ab").get(), blockOf("cd").get()))),
            "abcd");
  EXPECT_EQ(textIn(Object::adopt(MemoryBlockAddOperator(nullptr, abc.get()))), "abc");
  const rt::String untagged = rt::String::adopt(MemoryBlockToStringOperator(abc.get()));
  EXPECT_EQ(untagged.encoding(), kEncodingUnknown);
  EXPECT_EQ(memoryBlockGetSize(Object::adopt(MemoryBlockFromStringOperator(nullptr)).get()), 0);
}

TEST_F(MemoryBlockTest, LengthPrefixedAndZeroTerminatedText) {
  const Object block = blockOf(Bytes(6, 0xEE));
  memorySetPString(block.get(), 1, rt::String("abc").get());
  EXPECT_EQ(bytesIn(block), (Bytes{0xEE, 3, 'a', 'b', 'c', 0}))
      << "a terminating zero when it fits";
  const rt::String read = rt::String::adopt(memoryGetPString(block.get(), 1));
  EXPECT_EQ(read.str(), "abc");
  EXPECT_EQ(read.encoding(), kEncodingUnknown);

  const Object exact = blockOf(Bytes(5, 0xEE));
  memorySetPString(exact.get(), 1, rt::String("abc").get());
  EXPECT_EQ(bytesIn(exact), (Bytes{0xEE, 3, 'a', 'b', 'c'})) << "no zero past the block";
  memorySetPString(exact.get(), 2, rt::String("abc").get());
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException");
  memorySetByte(exact.get(), 1, 4);
  EXPECT_EQ(rt::String::adopt(memoryGetPString(exact.get(), 1)), nullptr)
      << "a length byte that runs past the end";
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException");

  const Object unterminated = blockOf("abc");
  EXPECT_EQ(rt::String::adopt(memoryGetCString(unterminated.get(), 1)).str(), "bc");
  EXPECT_EQ(rt::String::adopt(memoryGetCString(unterminated.get(), 3)), nullptr);
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException");
  memorySetCString(unterminated.get(), 0, rt::String("xyz").get());
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException") << "no room for the zero";
  memorySetCString(unterminated.get(), 0, rt::String("xy").get());
  EXPECT_EQ(bytesIn(unterminated), (Bytes{'x', 'y', 0}));
  EXPECT_EQ(rt::String::adopt(memoryGetCString(unterminated.get(), 0)).str(), "xy");
}

TEST_F(MemoryBlockTest, WideTextInEitherByteOrder) {
  const rt::String text("Aé");
  for (bool littleEndian : {true, false}) {
    const Object block = blockOf(Bytes(12, 0xEE));
    setLittleEndian(block, littleEndian);
    memorySetWString(block.get(), 0, text.get());
    const Bytes expected = littleEndian ? Bytes{0x41, 0, 0, 0, 0xE9, 0, 0, 0, 0, 0, 0, 0}
                                        : Bytes{0, 0, 0, 0x41, 0, 0, 0, 0xE9, 0, 0, 0, 0};
    EXPECT_EQ(bytesIn(block), expected) << littleEndian;
    const rt::String read = rt::String::adopt(memoryGetWString(block.get(), 0));
    EXPECT_EQ(read.encoding(), kEncodingUTF32);
    EXPECT_EQ(read, text) << littleEndian;
  }

  const Object unterminated = blockOf(Bytes{'a', 0, 0, 0, 'b', 0, 0, 0, 'c', 0});
  EXPECT_EQ(rt::String::adopt(memoryGetWString(unterminated.get(), 0)), rt::String("ab"))
      << "stops at the last whole unit of the block";
  memorySetWString(unterminated.get(), 0, rt::String("abc").get());
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException");
}

TEST_F(MemoryBlockTest, TextOfAGivenLength) {
  rt::objects::classFor(rt::text::textEncodingClass);
  rebaseline();
  const Object block = blockOf("abcdef");
  const Object utf8 = Object::adopt(rt::text::newTextEncoding(kEncodingUTF8));
  const rt::String plain = rt::String::adopt(memoryGetString(block.get(), 1, 3, nullptr));
  EXPECT_EQ(plain.str(), "bcd");
  EXPECT_EQ(plain.encoding(), kEncodingUnknown);
  EXPECT_EQ(rt::String::adopt(memoryGetString(block.get(), 0, 6, utf8.get())).encoding(),
            kEncodingUTF8);
  EXPECT_EQ(rt::String::adopt(memoryGetString(block.get(), 4, 3, nullptr)), nullptr);
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException");

  memorySetString(block.get(), 0, 5, nullptr, rt::String("xyz").get());
  EXPECT_EQ(textIn(block), std::string("xyz\0\0f", 6)) << "the rest of the length is zeroed";
  memorySetString(block.get(), 0, 2, utf8.get(), rt::String("uvw").get());
  EXPECT_EQ(textIn(block), std::string("uvz\0\0f", 6));
}

TEST_F(MemoryBlockTest, ColoursIn16To32Bits) {
  const Object block = Object::adopt(newMemoryBlock(4));
  memorySetUInt16(block.get(), 0, 0x7C00);
  EXPECT_EQ(memoryGetColor(block.get(), 0, 16), 0xF80000u) << "red is bits 10 to 14";
  memorySetUInt16(block.get(), 0, 0x03E1);
  EXPECT_EQ(memoryGetColor(block.get(), 0, 16), 0x00F808u);
  memorySetColor(block.get(), 0, 16, 0xFFFFFF);
  EXPECT_EQ(memoryGetUInt16(block.get(), 0), 0x7FFF);

  memorySetColor(block.get(), 0, 32, 0x00123456);
  EXPECT_EQ(bytesIn(block), (Bytes{0x56, 0x34, 0x12, 0}));
  EXPECT_EQ(memoryGetColor(block.get(), 0, 32), 0x00123456u);
  setLittleEndian(block, false);
  memorySetColor(block.get(), 1, 24, 0xABCDEF);
  EXPECT_EQ(bytesIn(block), (Bytes{0x56, 0xAB, 0xCD, 0xEF}));
  EXPECT_EQ(memoryGetColor(block.get(), 1, 24), 0xABCDEFu);
  EXPECT_EQ(memoryGetColor(block.get(), 2, 24), 0u);
  EXPECT_EQ(takeExceptionName(), "OutOfBoundsException") << "24 bits read 3 bytes";
  EXPECT_EQ(memoryGetColor(block.get(), 0, 8), 0u) << "no 8-bit layout";
  memorySetColor(block.get(), 0, 8, 0xFFFFFF);
  EXPECT_EQ(bytesIn(block), (Bytes{0x56, 0xAB, 0xCD, 0xEF}));
}

TEST_F(MemoryBlockTest, PointersReadBackAsWrappingBlocks) {
  const Object target = blockOf("target");
  const Object table = Object::adopt(newMemoryBlock(2 * sizeof(void*)));
  setLittleEndian(table, false);
  memorySetPtr(table.get(), 0, target.get());
  const Object pointer = Object::adopt(memoryGetPtr(table.get(), 0));
  EXPECT_EQ(memoryBlockGetPtr(pointer.get()), memoryBlockGetPtr(target.get()));
  EXPECT_EQ(memoryBlockGetSize(pointer.get()), -1);
  EXPECT_EQ(Object::adopt(memoryGetPtr(table.get(), sizeof(void*))), nullptr);
}

TEST(MemoryBlockDeathTest, BytesThatCannotBeAllocatedRaiseOutOfMemory) {
  if (!classlib_test::kAddressSpaceCanBeLimited) GTEST_SKIP() << "sanitized build";
  EXPECT_EXIT(
      {
        const Object block = blockOf("ab");
        classlib_test::limitAddressSpace();
        bool ok = Object::adopt(newMemoryBlock(INT32_MAX)) == nullptr &&
                  takeExceptionName() == "OutOfMemoryException";
        memoryBlockSetSize(block.get(), INT32_MAX);
        ok = ok && takeExceptionName() == "OutOfMemoryException" && textIn(block) == "ab";
        memoryBlockNewConstructor(block.get(), INT32_MAX);
        ok = ok && takeExceptionName() == "OutOfMemoryException" && textIn(block) == "ab";
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
