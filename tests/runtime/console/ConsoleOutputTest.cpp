// Console output: Print, the console writer's wide path and the standard
// stream objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "console/ConsoleApi.h"
#include "console/ConsoleApplication.h"
#include "objects/ObjectHandle.h"
#include "support/RuntimeFixture.h"
#include "text/StringHandle.h"

namespace rt::test {
namespace {

class ConsoleOutputTest : public RuntimeTest {
 protected:
  // The stream objects live for the process: make them before any balance.
  static void SetUpTestSuite() {
    console::registerConsoleClasses();
    for (RTObject* stream : {RuntimeGetStdIn(), RuntimeGetStdOut(), RuntimeGetStdErr()}) {
      RuntimeUnlockObject(stream);
    }
  }

  static std::string printed(RTString s) {
    testing::internal::CaptureStdout();
    RuntimeConsolePrint(s);
    return testing::internal::GetCapturedStdout();
  }
};

TEST_F(ConsoleOutputTest, PrintWritesTheTextAndALineEndButNothingForTheEmptyString) {
  EXPECT_EQ(printed(nullptr), "");
  EXPECT_EQ(printed(String(" ").get()), " \n");
  EXPECT_EQ(printed(String("caf\xc3\xa9").get()), "caf\xc3\xa9\n");
  const String withZero = String::bytes(std::string("a\0b", 3), kEncodingASCII);
  EXPECT_EQ(printed(withZero.get()), std::string("a\0b\n", 4));
}

TEST_F(ConsoleOutputTest, WideTextIsWrittenInTheSystemEncoding) {
  const char16_t utf16[] = u"\u00e9\u20ac\U0001F600";
  const String fromUtf16 = String::bytes(
      std::string(reinterpret_cast<const char*>(utf16), sizeof utf16 - sizeof(char16_t)), kEncodingUTF16);
  EXPECT_EQ(printed(fromUtf16.get()), "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\n");
  const char32_t utf32[] = U"A\u00e9";
  const String fromUtf32 = String::bytes(
      std::string(reinterpret_cast<const char*>(utf32), sizeof utf32 - sizeof(char32_t)), kEncodingUTF32);
  EXPECT_EQ(printed(fromUtf32.get()), "A\xc3\xa9\n");
}

TEST_F(ConsoleOutputTest, WriteLineOfEmptyTextDiffersBetweenOutputAndError) {
  Object out = Object::adopt(RuntimeGetStdOut());
  Object err = Object::adopt(RuntimeGetStdErr());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  RuntimeStdOutputStreamWriteLine(out.get(), nullptr);
  RuntimeStdOutputStreamWriteLine(err.get(), nullptr);
  RuntimeStdOutputStreamWrite(out.get(), String("x").get());
  RuntimeStdOutputStreamWrite(err.get(), String("y").get());
  RuntimeStdOutputStreamWriteLine(err.get(), String("z").get());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "x");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "\nyz\n");
  EXPECT_FALSE(RuntimeStdOutputError(out.get()));
}

TEST_F(ConsoleOutputTest, StreamObjectsAreSharedAndKeepTheirSelector) {
  Object first = Object::adopt(RuntimeGetStdOut());
  Object second = Object::adopt(RuntimeGetStdOut());
  Object err = Object::adopt(RuntimeGetStdErr());
  EXPECT_EQ(first, second);
  EXPECT_FALSE(first == err);
  EXPECT_EQ(std::string(text::bytes(first->cls->name)), "StandardOutputStream");
  Object in = Object::adopt(RuntimeGetStdIn());
  EXPECT_EQ(std::string(text::bytes(in->cls->name)), "StandardInputStream");
}

}  // namespace
}  // namespace rt::test
