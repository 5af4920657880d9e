#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileTest.h"
#include "files/FolderItem.h"
#include "text/Encodings.h"
#include "text/TextEncodingClass.h"

namespace {

using rt::FolderItem;
using rt::String;
using rt::TextInputStream;

class TextInputStreamTest : public rt::test::FileTest {
 protected:
  TextInputStream open(std::string_view contents) {
    writeFile("text", contents);
    TextInputStream stream = FolderItem::get(String("text")).openAsTextFile();
    EXPECT_TRUE(stream);
    return stream;
  }

  std::vector<std::string> allLines(std::string_view contents) {
    TextInputStream stream = open(contents);
    std::vector<std::string> lines;
    while (!stream.eof()) lines.push_back(stream.readLine().str());
    return lines;
  }
};

using Lines = std::vector<std::string>;

TEST_F(TextInputStreamTest, LinesEndAtLfCrOrCrLf) {
  const std::string x1023(1023, 'x');
  const std::string y3000(3000, 'y');
  const struct {
    std::string contents;
    Lines lines;
  } cases[] = {
      {"a\r\nb\rc\n\n", {"a", "b", "c", ""}},
      {"last line", {"last line"}},
      {"ends with cr\r", {"ends with cr"}},
      {"\n\r\n\r", {"", "", ""}},
      {"", {}},
      // The CR is the last byte of the first buffer; its LF comes with the next.
      {x1023 + "\r\nnext", {x1023, "next"}},
      {x1023 + "\rnext", {x1023, "next"}},
      {y3000 + "\n" + "z", {y3000, "z"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(allLines(c.contents), c.lines) << c.contents.substr(0, 20);
  }
}

TEST_F(TextInputStreamTest, ReadTakesTheBufferFirstThenTheFile) {
  const std::string tail(2000, 't');
  TextInputStream stream = open("head\n" + tail);
  EXPECT_EQ(stream.readLine().str(), "head");
  EXPECT_TRUE(stream.read(0).empty());
  EXPECT_EQ(stream.read(1500).str(), tail.substr(0, 1500));
  EXPECT_EQ(stream.position(), 5 + 1500);
  EXPECT_EQ(stream.read(1000).str(), tail.substr(1500));
  EXPECT_TRUE(stream.eof());
  EXPECT_TRUE(stream.read(10).empty());
}

TEST_F(TextInputStreamTest, ReadAllTakesTheRestAndAfterItEveryReadIsEmpty) {
  const std::string tail(5000, 'r');
  TextInputStream stream = open("first\n" + tail);
  EXPECT_FALSE(stream.eof());
  EXPECT_EQ(stream.readLine().str(), "first");
  EXPECT_EQ(stream.readAll().str(), tail);
  EXPECT_TRUE(stream.eof());
  EXPECT_TRUE(stream.readAll().empty());
  EXPECT_TRUE(stream.readLine().empty());
  EXPECT_EQ(stream.lastErrorCode(), 0);
}

TEST_F(TextInputStreamTest, PositionCountsOnlyWhatWasTaken) {
  TextInputStream stream = open("one\ntwo\nthree\n");
  EXPECT_EQ(stream.position(), 0);
  stream.readLine();
  EXPECT_EQ(stream.position(), 4);
  stream.setPosition(8);
  EXPECT_EQ(stream.position(), 8);
  EXPECT_EQ(stream.readLine().str(), "three");
  stream.setPosition(1);
  EXPECT_EQ(stream.readLine().str(), "ne");
}

TEST_F(TextInputStreamTest, LinesAreTaggedWithTheStreamsOrTheGivenEncoding) {
  TextInputStream stream = open("a\nb\nc\n");
  EXPECT_EQ(stream.readLine().encoding(), kEncodingUTF8);
  EXPECT_EQ(rt::text::encodingOfObject(stream.encoding().get()), kEncodingUTF8);
  rt::Object latin1 = rt::Object::adopt(rt::text::newTextEncoding(513));
  EXPECT_EQ(stream.readLine(latin1).encoding(), 513u);
  stream.setEncoding(latin1);
  EXPECT_EQ(stream.readLine().encoding(), 513u);
}

TEST_F(TextInputStreamTest, AClosedStreamReadsNothing) {
  TextInputStream stream = open("a\nb\n");
  stream.close();
  EXPECT_TRUE(stream.eof());
  EXPECT_TRUE(stream.readLine().empty());
  EXPECT_TRUE(stream.readAll().empty());
  EXPECT_EQ(stream.position(), 0);
  EXPECT_EQ(stream.lastErrorCode(), 0);
}

TEST_F(TextInputStreamTest, ReadErrorsLeaveErrno) {
  // A file that opens but cannot be read from its start: address 0 of the
  // process's memory is never mapped. (A folder no longer opens at all.)
  TextInputStream stream = FolderItem::get(String("/proc/self/mem")).openAsTextFile();
  ASSERT_TRUE(stream);
  EXPECT_TRUE(stream.readAll().empty());
  EXPECT_EQ(stream.lastErrorCode(), EIO);
}

}  // namespace
