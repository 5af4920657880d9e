#include <gtest/gtest.h>

#include "FileTest.h"
#include "files/UnixDataFile.h"

namespace {

class UnixDataFileTest : public rt::test::FileTest {};

TEST_F(UnixDataFileTest, OnlyReadAndReadWriteModesOpen) {
  writeFile("data", "x");
  rt::files::UnixDataFile file;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(file.open(path("data").c_str(), 2));
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("Invalid permissions passed in to UnixDataFile::Open"), std::string::npos)
      << report;
  EXPECT_FALSE(file.isOpen());
}

TEST_F(UnixDataFileTest, LengthCountsBufferedWritesButNotSeeksPastTheEnd) {
  rt::files::UnixDataFile file;
  ASSERT_TRUE(file.create(path("data").c_str()));
  ASSERT_TRUE(file.write("abc", 3));
  EXPECT_EQ(file.length(), 3);
  ASSERT_TRUE(file.setPosition(100));
  EXPECT_EQ(file.length(), 3);
  EXPECT_TRUE(file.endOfFile());
  ASSERT_TRUE(file.setPosition(1));
  ASSERT_TRUE(file.write("Z", 1));
  EXPECT_EQ(file.length(), 3);
  EXPECT_FALSE(file.endOfFile());
  EXPECT_TRUE(file.close());
  EXPECT_EQ(readFile("data"), "aZc");
}

}  // namespace
