#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "TextTest.h"
#include "text/StringFunctionsApi.h"

namespace {

using rt::String;
using namespace rt::test;

class StringNumbersTest : public TextTest {};

TEST_F(StringNumbersTest, ValReadsTheNumberAtTheStart) {
  const struct {
    String text;
    double value;
  } cases[] = {
      {" 12.5e1xyz", 125}, {"1,234", 1},       {"-3.5", -3.5},
      {"abc", 0},          {String(), 0},      {"&h1F", 31},
      {"&hFFFFFFFF", -1},  {"&h100000001", 1}, {"&H1g2", 0x12},
      {"&h", 0},           {"&o17", 15},       {"&o78", 7},
      {"&b101", 5},        {"&x1", 0},         {" &h1F", 0},
      {"0x1A", 26},        {utf16(u"42"), 42}, {utf32(U"-7.25"), -7.25},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StringVal(c.text.get()), c.value) << c.text.str();
  }
  EXPECT_TRUE(std::isinf(StringVal(String("inf").get())));
}

TEST_F(StringNumbersTest, StrWritesDecimalAscii) {
  const struct {
    RTString made;
    std::string text;
  } cases[] = {
      {StringStrInt32(-5), "-5"},
      {StringStrInt32(0), "0"},
      {StringStrInt32(INT32_MIN), "-2147483648"},
      {StringStrUInt32(UINT32_MAX), "4294967295"},
      {StringStrInt64(INT64_MIN), "-9223372036854775808"},
      {StringStrUInt64(UINT64_MAX), "18446744073709551615"},
      {StringStrInt8(-128), "-128"},
      {StringStrUInt8(255), "255"},
      {StringStrInt16(-32768), "-32768"},
      {StringStrUInt16(65535), "65535"},
  };
  for (const auto& c : cases) {
    const String s = String::adopt(c.made);
    EXPECT_EQ(s.str(), c.text);
    EXPECT_EQ(s.encoding(), kEncodingASCII) << c.text;
  }
}

}  // namespace
