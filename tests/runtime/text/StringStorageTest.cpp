#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "support/RuntimeFixture.h"
#include "text/Encodings.h"
#include "text/SmallBlockAllocator.h"
#include "text/StringApi.h"
#include "text/StringHandle.h"
#include "text/StringStorage.h"

namespace {

class StringStorageTest : public rt::test::RuntimeTest {};

TEST_F(StringStorageTest, BlockIsBothPascalAndZeroTerminated) {
  for (std::size_t length : {1u, 255u, 256u, 300u}) {
    const std::string text(length, 'x');
    rt::String s = rt::String::bytes(text, kEncodingUTF8);
    EXPECT_EQ(s->length, length);
    EXPECT_EQ(s->capacity, length + 2);
    EXPECT_EQ(s->lengthByte, length < 256 ? length : 255);
    EXPECT_EQ(s->buffer, &s->lengthByte);
    EXPECT_EQ(s->text[length], '\0');
    EXPECT_EQ(s->refCount, 1u);
  }
}

TEST_F(StringStorageTest, NoBlockOfLengthZeroExists) {
  EXPECT_EQ(TOLVBuildString("abc", 0), nullptr);
  EXPECT_EQ(StringFromCString(""), nullptr);
  EXPECT_EQ(StringFromCString(nullptr), nullptr);
  const unsigned char emptyPascal[] = {0};
  EXPECT_EQ(StringFromPString(emptyPascal), nullptr);
  EXPECT_STREQ(StringGetCString(nullptr), "");
  EXPECT_EQ(StringGetPString(nullptr)[0], 0);
}

TEST_F(StringStorageTest, ConstructionTagsTheEncoding) {
  struct Case {
    RTString made;
    uint32_t encoding;
    std::string bytes;
  };
  const unsigned char pascal[] = {3, 'a', 'b', 'c', 'z'};
  const Case cases[] = {
      {TOLVBuildString("ab\0c", 4), kEncodingUnknown, std::string("ab\0c", 4)},
      {StringFromCString("hello"), kEncodingASCII, "hello"},
      {StringFromPString(pascal), kEncodingASCII, "abc"},
      {StringFromWString(L"hi"), kEncodingUTF32, std::string("h\0\0\0i\0\0\0", 8)},
  };
  for (const Case& c : cases) {
    rt::String s = rt::String::adopt(c.made);
    EXPECT_EQ(s.encoding(), c.encoding) << c.bytes;
    EXPECT_EQ(s.view(), c.bytes);
    EXPECT_EQ(TOLVGetStringEncoding(s.get()), c.encoding);
  }
}

TEST_F(StringStorageTest, CountingFreesAtZeroAndIgnoresNull) {
  const std::int64_t before = rt::memory::bytesInUse();
  RTString s = StringFromCString("counted");
  EXPECT_GT(rt::memory::bytesInUse(), before);
  RuntimeLockString(s);
  RuntimeLockUnlockStrings(s, s);
  EXPECT_EQ(s->refCount, 2u);
  RuntimeLockUnlockStrings(nullptr, s);
  EXPECT_EQ(s->refCount, 1u);
  RuntimeUnlockString(s);
  EXPECT_EQ(rt::memory::bytesInUse(), before);
  RuntimeLockString(nullptr);
  RuntimeUnlockString(nullptr);
}

TEST_F(StringStorageTest, StructureStringsDropTrailingZerosAndPad) {
  char record[12] = {'a', 'b', 0, 0, 'z', 'z', 'z', 'z', 'z', 'z', 'z', 'z'};
  rt::String read = rt::String::adopt(RuntimeGetStructureString(record, 0, 4));
  EXPECT_EQ(read.view(), "ab");
  EXPECT_EQ(read.encoding(), kEncodingUnknown);
  EXPECT_TRUE(rt::String::adopt(RuntimeGetStructureString(record, 2, 2)).empty());

  RuntimeSetStructureString(record, 4, 6, rt::String("xyz").get());
  EXPECT_EQ(std::string(record + 4, 8), std::string("xyz\0\0\0zz", 8));
  RuntimeSetStructureString(record, 4, 2, rt::String("long text").get());
  EXPECT_EQ(std::string(record + 4, 3), "loz");
  RuntimeSetStructureString(record, 4, -1, rt::String("xyz").get());
  EXPECT_EQ(std::string(record + 4, 3), "loz") << "a negative size writes nothing";
  testing::internal::CaptureStdout();
  RuntimeSetStructureString(record, -1, 2, nullptr);
  RuntimeSetStructureString(nullptr, 0, 2, nullptr);
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("Failure Condition: offset >= 0"), std::string::npos);
  EXPECT_NE(report.find("Failure Condition: buf"), std::string::npos);
}

TEST_F(StringStorageTest, WritesCopyASharedBlockFirst) {
  RTString mine = StringFromCString("abc");
  RTString shared = mine;
  RuntimeLockString(shared);
  rt::text::writeByte(mine, 1, 'X');
  EXPECT_NE(mine, shared);
  EXPECT_STREQ(mine->text, "aXc");
  EXPECT_STREQ(shared->text, "abc");
  testing::internal::CaptureStdout();
  rt::text::writeByte(mine, 3, 'Y');
  RTString empty = nullptr;
  rt::text::writeByte(empty, 1, 'Y');
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("not (pos < 0 || pos >= Length())"), std::string::npos);
  EXPECT_NE(report.find("Failure Condition: not pos\n"), std::string::npos);
  RuntimeUnlockString(mine);
  RuntimeUnlockString(shared);
}

// Text lengths are 32-bit and a block's size must not wrap around: a longer
// string cannot be made, and trying to is running out of memory, not a short
// block overrun by the copy.
TEST(StringStorageDeathTest, TooLongAStringIsRunningOutOfMemory) {
  for (const std::size_t length : {std::size_t{UINT32_MAX}, SIZE_MAX - 8}) {
    EXPECT_EXIT(
        {
          dup2(STDERR_FILENO, STDOUT_FILENO);
          (void)rt::text::makeString(nullptr, length, kEncodingUTF8);
        },
        testing::ExitedWithCode(0), "This application has run out of memory and must quit now.")
        << length;
  }
}

// Blocks hold pointers and doubles, so a block must be aligned as they are.
TEST(SmallBlockAllocator, BlocksAreAlignedForPointersAndDoubles) {
  const std::int64_t before = rt::memory::bytesInUse();
  for (std::size_t n = 1; n <= 260; ++n) {
    void* block = rt::memory::allocate(n);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(void*), 0u) << n << " bytes";
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(double), 0u) << n << " bytes";
    rt::memory::release(block, n);
  }
  EXPECT_EQ(rt::memory::bytesInUse(), before);
}

TEST(SmallBlockAllocator, CountsRequestsAndReleases) {
  const std::int64_t before = rt::memory::bytesInUse();
  EXPECT_EQ(rt::memory::allocate(0), nullptr);
  void* small = rt::memory::allocate(10);
  void* large = rt::memory::allocate(4000);
  EXPECT_EQ(rt::memory::bytesInUse(), before + 4010);
  std::memset(small, 1, 10);
  std::memset(large, 1, 4000);
  rt::memory::release(small, 10);
  void* again = rt::memory::allocate(12);
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_EQ(again, small) << "a released block of the same size class is reused";
#endif
  rt::memory::release(again, 12);
  rt::memory::release(large, 4000);
  EXPECT_EQ(rt::memory::bytesInUse(), before);
}

}  // namespace
