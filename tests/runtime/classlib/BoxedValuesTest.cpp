#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "ClasslibTest.h"
#include "classlib/BoxedValueApi.h"
#include "classlib/BoxedValues.h"
#include "classlib/VariantCompare.h"
#include "numbers/DateApi.h"
#include "numbers/DateObject.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "text/StringHandle.h"

namespace {

using classlib_test::ClasslibTest;
using rt::Object;
using namespace rt::classlib;

Object box(RTObject* boxed) { return Object::adopt(boxed); }
Object text(const char* value) { return box(boxString(rt::String(value).get())); }

Object date(double seconds) {
  Object object = box(RuntimeNewObject(rt::objects::classFor(rt::dates::dateClass)));
  dateTotalSecondsSetter(object.get(), seconds);
  return object;
}

using BoxedValuesTest = ClasslibTest;

TEST_F(BoxedValuesTest, VariantComparisonFollowsItsRules) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr std::int64_t kTwoTo53 = std::int64_t{1} << 53;
  const Object other = box(RuntimeNewObject(rt::objects::classFor(rt::exceptions::endException)));
  const struct {
    const char* rule;
    Object a;
    Object b;
    std::int32_t expected;
  } rows[] = {
      {"Int32 and Int64 of one value", box(boxInt32(-7)), box(boxInt64(-7)), 0},
      {"UInt32 and Double of one value", box(boxUInt32(3)), box(boxDouble(3.0)), 0},
      {"Single and Double of one value", box(boxSingle(0.1f)),
       box(boxDouble(static_cast<float>(0.1))), 0},
      {"UInt64 beyond every Int64", box(boxUInt64(UINT64_MAX)), box(boxInt64(-1)), 1},
      {"Int64 exactly, not through a double", box(boxInt64(kTwoTo53 + 1)),
       box(boxDouble(static_cast<double>(kTwoTo53))), 1},
      {"a fraction", box(boxDouble(2.5)), box(boxInt32(3)), -1},
      {"NaN equals NaN", box(boxDouble(kNaN)), box(boxSingle(NAN)), 0},
      {"NaN before numbers", box(boxDouble(kNaN)),
       box(boxDouble(-std::numeric_limits<double>::infinity())), -1},
      {"Booleans", box(boxBoolean(false)), box(boxBoolean(true)), -1},
      {"a Boolean is no number", box(boxInt32(1)), box(boxBoolean(true)), -1},
      {"a colour is no number", box(boxColor(5)), box(boxInt32(5)), 1},
      {"colours", box(boxColor(0xFF0000)), box(boxColor(0x00FF00)), 1},
      {"strings ignore case beyond ASCII", text("über"), text("ÜBER"), 0},
      {"strings ignore ASCII case", text("help"), text("HELP"), 0},
      {"strings in order", text("abc"), text("ABD"), -1},
      {"a string is no number", text("5"), box(boxInt32(5)), 1},
      {"dates by TotalSeconds", date(86400), date(86400), 0},
      {"earlier dates first", date(60), date(86400), -1},
      {"dates before other objects", date(0), other, -1},
      {"nil first", Object(), box(boxInt32(0)), -1},
      {"nil equals nil", Object(), Object(), 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(compareVariants(row.a.get(), row.b.get()), row.expected) << row.rule;
    EXPECT_EQ(compareVariants(row.b.get(), row.a.get()), -row.expected) << row.rule << ", reversed";
  }

  // Other objects are equal only to themselves, in some order that holds both ways.
  const Object another = box(RuntimeNewObject(rt::objects::classFor(rt::exceptions::endException)));
  EXPECT_NE(compareVariants(other.get(), another.get()), 0);
  EXPECT_EQ(compareVariants(other.get(), another.get()),
            -compareVariants(another.get(), other.get()));
}

TEST_F(BoxedValuesTest, HashesFoldTheValueBytes) {
  const auto hash = [](std::int32_t (*function)(RTObject*), RTObject* boxed) {
    return function(box(boxed).get());
  };
  const struct {
    const char* what;
    std::int32_t hash;
    std::uint32_t expected;
  } rows[] = {
      {"Int32 5", hash(Int32ObjectHash, boxInt32(5)), 0x00050000},
      {"Int32 -1", hash(Int32ObjectHash, boxInt32(-1)), 0xFFFFFFFF},
      {"UInt32 0x12345678", hash(UInt32ObjectHash, boxUInt32(0x12345678)), 0x56781234},
      {"Color 0x00FF8040", hash(ColorObjectHash, boxColor(0x00FF8040)), 0x804000FF},
      {"Int64 5 as Int32 5", hash(Int64ObjectHash, boxInt64(5)), 0x00050000},
      {"UInt64 high and low words", hash(UInt64ObjectHash, boxUInt64(0x0000000100000002)),
       0x00020001},
      {"Double 0.5", hash(DoubleObjectHash, boxDouble(0.5)), 0x3FE00000},
      {"Single 0.5 held as a double", hash(SingleObjectHash, boxSingle(0.5f)), 0x3FE00000},
      {"Boolean true", hash(BooleanObjectHash, boxBoolean(true)), 1},
      {"Boolean false", hash(BooleanObjectHash, boxBoolean(false)), 0},
      {"String ab", StringObjectHash(text("ab").get()), 65 * 31 + 66},
      {"String AB", StringObjectHash(text("AB").get()), 65 * 31 + 66},
      // Bytes count as signed: C3 A9 are -61 and -87.
      {"String é", StringObjectHash(text("é").get()), static_cast<std::uint32_t>(-61 * 31 - 87)},
      {"String empty", StringObjectHash(text("").get()), 0},
      {"nil", hash(Int32ObjectHash, nullptr), 0},
  };
  for (const auto& row : rows)
    EXPECT_EQ(static_cast<std::uint32_t>(row.hash), row.expected) << row.what;
}

}  // namespace
