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
#include "text/Encodings.h"
#include "text/StringHandle.h"

namespace {

using classlib_test::ClasslibTest;
using rt::Object;
using namespace rt::classlib;

Object text(const char* value) { return Object::adopt(boxString(rt::String(value).get())); }

Object date(double seconds) {
  Object object = Object::adopt(RuntimeNewObject(rt::objects::classFor(rt::dates::dateClass)));
  dateTotalSecondsSetter(object.get(), seconds);
  return object;
}

using BoxedValuesTest = ClasslibTest;

TEST_F(BoxedValuesTest, VariantComparisonFollowsItsRules) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr std::int64_t kTwoTo53 = std::int64_t{1} << 53;
  const struct {
    const char* rule;
    Object a;
    Object b;
    std::int32_t expected;
  } rows[] = {
      {"Int32 and Int64 of one value", Object::adopt(boxInt32(-7)), Object::adopt(boxInt64(-7)), 0},
      {"UInt32 and Double of one value", Object::adopt(boxUInt32(3)), Object::adopt(boxDouble(3.0)),
       0},
      {"Single and Double of one value", Object::adopt(boxSingle(0.1f)),
       Object::adopt(boxDouble(static_cast<float>(0.1))), 0},
      {"UInt64 beyond every Int64", Object::adopt(boxUInt64(UINT64_MAX)),
       Object::adopt(boxInt64(-1)), 1},
      {"Int64 exactly, not through a double", Object::adopt(boxInt64(kTwoTo53 + 1)),
       Object::adopt(boxDouble(static_cast<double>(kTwoTo53))), 1},
      {"a fraction", Object::adopt(boxDouble(2.5)), Object::adopt(boxInt32(3)), -1},
      {"NaN equals NaN", Object::adopt(boxDouble(kNaN)), Object::adopt(boxSingle(NAN)), 0},
      {"NaN before numbers", Object::adopt(boxDouble(kNaN)),
       Object::adopt(boxDouble(-std::numeric_limits<double>::infinity())), -1},
      {"Booleans", Object::adopt(boxBoolean(false)), Object::adopt(boxBoolean(true)), -1},
      {"a Boolean is no number", Object::adopt(boxInt32(1)), Object::adopt(boxBoolean(true)), -1},
      {"a colour is no number", Object::adopt(boxColor(5)), Object::adopt(boxInt32(5)), 1},
      {"colours", Object::adopt(boxColor(0xFF0000)), Object::adopt(boxColor(0x00FF00)), 1},
      {"strings ignore case beyond ASCII", text("über"), text("ÜBER"), 0},
      {"strings ignore ASCII case", text("help"), text("HELP"), 0},
      {"strings in order", text("abc"), text("ABD"), -1},
      {"a string is no number", text("5"), Object::adopt(boxInt32(5)), 1},
      {"dates by TotalSeconds", date(86400), date(86400), 0},
      {"earlier dates first", date(60), date(86400), -1},
      {"nil first", Object(), Object::adopt(boxInt32(0)), -1},
      {"nil equals nil", Object(), Object(), 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(compareVariants(row.a.get(), row.b.get()), row.expected) << row.rule;
    EXPECT_EQ(compareVariants(row.b.get(), row.a.get()), -row.expected) << row.rule << ", reversed";
  }
}

TEST_F(BoxedValuesTest, OtherObjectsAreEqualOnlyToThemselves) {
  const Object first = date(0);
  const Object a =
      Object::adopt(RuntimeNewObject(rt::objects::classFor(rt::exceptions::endException)));
  const Object b =
      Object::adopt(RuntimeNewObject(rt::objects::classFor(rt::exceptions::endException)));
  EXPECT_NE(compareVariants(a.get(), b.get()), 0);
  EXPECT_EQ(compareVariants(a.get(), b.get()), -compareVariants(b.get(), a.get()));
  EXPECT_EQ(compareVariants(first.get(), a.get()), -1) << "dates before other objects";
}

TEST_F(BoxedValuesTest, HashesFoldTheValueBytes) {
  const struct {
    const char* what;
    std::int32_t hash;
    std::uint32_t expected;
  } rows[] = {
      {"Int32 5", Int32ObjectHash(Object::adopt(boxInt32(5)).get()), 0x00050000},
      {"Int32 -1", Int32ObjectHash(Object::adopt(boxInt32(-1)).get()), 0xFFFFFFFF},
      {"UInt32 0x12345678", UInt32ObjectHash(Object::adopt(boxUInt32(0x12345678)).get()),
       0x56781234},
      {"Color 0x00FF8040", ColorObjectHash(Object::adopt(boxColor(0x00FF8040)).get()), 0x804000FF},
      {"Int64 5 as Int32 5", Int64ObjectHash(Object::adopt(boxInt64(5)).get()), 0x00050000},
      {"UInt64 high and low words",
       UInt64ObjectHash(Object::adopt(boxUInt64(0x0000000100000002)).get()), 0x00020001},
      {"Double 0.5", DoubleObjectHash(Object::adopt(boxDouble(0.5)).get()), 0x3FE00000},
      {"Single 0.5 held as a double", SingleObjectHash(Object::adopt(boxSingle(0.5f)).get()),
       0x3FE00000},
      {"Boolean true", BooleanObjectHash(Object::adopt(boxBoolean(true)).get()), 1},
      {"Boolean false", BooleanObjectHash(Object::adopt(boxBoolean(false)).get()), 0},
      {"String ab", StringObjectHash(text("ab").get()), 65 * 31 + 66},
      {"String AB", StringObjectHash(text("AB").get()), 65 * 31 + 66},
      // Bytes count as signed: C3 A9 are -61 and -87.
      {"String é", StringObjectHash(text("é").get()), static_cast<std::uint32_t>(-61 * 31 - 87)},
      {"String empty", StringObjectHash(text("").get()), 0},
      {"nil", Int32ObjectHash(nullptr), 0},
  };
  for (const auto& row : rows)
    EXPECT_EQ(static_cast<std::uint32_t>(row.hash), row.expected) << row.what;
}

TEST_F(BoxedValuesTest, BoxedStringsHoldTheirText) {
  rt::String value("Dictionary key");
  const Object boxed = text("Dictionary key");
  EXPECT_EQ(rt::String(stringOf(boxed.get())), value);
  EXPECT_EQ(kindOf(boxed.get()), VariantKind::kString);
  EXPECT_EQ(RuntimeLookupClass(rt::String("StringObject").get()),
            rt::objects::classFor(stringObjectClass));
}

}  // namespace
