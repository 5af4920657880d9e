#include <gtest/gtest.h>

#include <string>

#include "FileTest.h"
#include "files/FolderItem.h"
#include "text/Encodings.h"

namespace {

using rt::FolderItem;
using rt::String;
using rt::TextOutputStream;

class TextOutputStreamTest : public rt::test::FileTest {
 protected:
  TextOutputStream create() {
    TextOutputStream stream = FolderItem::get(String("text")).createTextFile();
    EXPECT_TRUE(stream);
    return stream;
  }
};

TEST_F(TextOutputStreamTest, LinesEndWithALineFeedUnlessADelimiterIsSetAndFlushShowsThem) {
  TextOutputStream stream = create();
  EXPECT_TRUE(stream.delimiter().empty());
  stream.writeLine(String());
  stream.writeLine(String("abc"));
  stream.write(String("no ending"));
  stream.flush();
  EXPECT_EQ(readFile("text"), "\nabc\nno ending") << "flushed text is visible";
  stream.setDelimiter(String("\r\n"));
  stream.writeLine(String("crlf"));
  stream.close();
  EXPECT_EQ(readFile("text"), "\nabc\nno endingcrlf\r\n");
}

TEST_F(TextOutputStreamTest, TheEndingTakesTheEncodingOfTheLine) {
  TextOutputStream stream = create();
  stream.writeLine(String::bytes(std::string("h\0i\0", 4), kEncodingUTF16));
  stream.setDelimiter(String::bytes("|", kEncodingUnknown));
  stream.writeLine(String::bytes(std::string("h\0", 2), kEncodingUTF16));
  stream.close();
  EXPECT_EQ(readFile("text"), std::string("h\0i\0\n\0h\0|", 9));
}

TEST_F(TextOutputStreamTest, AClosedStreamWritesNothing) {
  TextOutputStream stream = create();
  stream.writeLine(String("kept"));
  stream.close();
  stream.writeLine(String("lost"));
  stream.write(String("lost"));
  stream.flush();
  stream.close();
  EXPECT_EQ(stream.lastErrorCode(), 0);
  EXPECT_EQ(readFile("text"), "kept\n");
}

}  // namespace
