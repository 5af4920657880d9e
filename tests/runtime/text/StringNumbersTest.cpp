#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "text/StringFunctionsApi.h"
#include "TextTest.h"

namespace {

using rt::String;
using namespace rt::test;

class StringNumbersTest : public TextTest {};

struct ValCase {
  String text;
  double value;
};

TEST_F(StringNumbersTest, ValReadsTheNumberAtTheStart) {
  const ValCase cases[] = {
      {" 12.5e1xyz", 125},   {"1,234", 1},          {"-3.5", -3.5},       {"+.5", 0.5},
      {"abc", 0},            {String(), 0},         {"&h1F", 31},         {"&H1f", 31},
      {"&hFFFFFFFF", -1},    {"&h100000001", 1},    {"&h1G2", 0x12},      {"&h", 0},
      {"&o17", 15},          {"&o78", 7},           {"&b101", 5},         {"&B2", 0},
      {"&x1", 0},            {"&", 0},              {" &h1F", 0},         {"0x1A", 26},
      {utf16(u"42"), 42},    {utf32(U"-7.25"), -7.25},
      {String::bytes("12", kEncodingUnknown), 12},
      {String::bytes("\xB1" "5", 513), 0},  // a Latin-1 plus-minus sign is no sign
  };
  for (const ValCase& c : cases) {
    EXPECT_EQ(StringVal(c.text.get()), c.value) << c.text.str();
  }
  EXPECT_TRUE(std::isinf(StringVal(String("inf").get())));
}

struct StrCase {
  RTString (*format)();
  std::string text;
};

TEST_F(StringNumbersTest, StrWritesDecimalAscii) {
  const StrCase cases[] = {
      {[] { return StringStrInt32(-5); }, "-5"},
      {[] { return StringStrInt32(0); }, "0"},
      {[] { return StringStrInt32(INT32_MIN); }, "-2147483648"},
      {[] { return StringStrUInt32(UINT32_MAX); }, "4294967295"},
      {[] { return StringStrInt64(INT64_MIN); }, "-9223372036854775808"},
      {[] { return StringStrUInt64(UINT64_MAX); }, "18446744073709551615"},
      {[] { return StringStrInt8(-128); }, "-128"},
      {[] { return StringStrUInt8(255); }, "255"},
      {[] { return StringStrInt16(-32768); }, "-32768"},
      {[] { return StringStrUInt16(65535); }, "65535"},
  };
  for (const StrCase& c : cases) {
    const String s = String::adopt(c.format());
    EXPECT_EQ(s.str(), c.text);
    EXPECT_EQ(s.encoding(), kEncodingASCII) << c.text;
  }
}

}  // namespace
