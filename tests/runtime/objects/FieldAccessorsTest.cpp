#include <gtest/gtest.h>

#include <cstring>

#include "objects/ArrayApi.h"
#include "objects/FieldAccessors.h"
#include "support/RuntimeFixture.h"
#include "text/StringHandle.h"

namespace {

// A fake object: only the bytes after the header matter to the accessors.
struct Fields {
  RTObject header;
  unsigned char bytes[16];
  RTString text;
  RTObject* object;
  RTArray* array;
};

class FieldAccessorsTest : public rt::test::RuntimeTest {
 protected:
  Fields fields{};
  RTObject* self() { return &fields.header; }
  static constexpr intptr_t kBytes = offsetof(Fields, bytes);
};

TEST_F(FieldAccessorsTest, NumbersAreExtendedAsTheirTypeSays) {
  struct Case {
    const char* name;
    int32_t (*getter)(RTObject*, intptr_t);
    void (*setter)(RTObject*, intptr_t, int32_t);
    int32_t stored;
    int32_t read;
  };
  const Case cases[] = {
      {"byte", byteGetter, byteSetter, 0x1FF, 0xFF},
      {"bool", boolGetter, boolSetter, 0xFF, -1},
      {"short", shortGetter, shortSetter, 0x18000, -32768},
      {"int", intGetter, intSetter, -7, -7},
  };
  for (const Case& c : cases) {
    std::memset(fields.bytes, 0, sizeof fields.bytes);
    c.setter(self(), kBytes + 4, c.stored);
    EXPECT_EQ(c.getter(self(), kBytes + 4), c.read) << c.name;
    EXPECT_EQ(fields.bytes[3], 0) << c.name << " wrote before its field";
  }
  int64Setter(self(), kBytes, int64_t{1} << 40);
  EXPECT_EQ(int64Getter(self(), kBytes), int64_t{1} << 40);
  doubleSetter(self(), kBytes, 2.5);
  EXPECT_EQ(doubleGetter(self(), kBytes), 2.5);
  singleSetter(self(), kBytes, 1.25f);
  EXPECT_EQ(singleGetter(self(), kBytes), 1.25f);
}

TEST_F(FieldAccessorsTest, ReferenceFieldsCountTheirValues) {
  rt::String first("first");
  rt::String second("second");
  stringSetter(self(), offsetof(Fields, text), first.get());
  EXPECT_EQ(first->refCount, 2u);
  stringSetter(self(), offsetof(Fields, text), second.get());
  EXPECT_EQ(first->refCount, 1u);
  rt::String read = rt::String::adopt(stringGetter(self(), offsetof(Fields, text)));
  EXPECT_EQ(read.view(), "second");
  EXPECT_EQ(second->refCount, 3u);
  stringSetter(self(), offsetof(Fields, text), nullptr);

  RTArray* array = CreateArray(1, kArrayInt32, 3);
  arraySetter(self(), offsetof(Fields, array), array);
  EXPECT_EQ(array->refCount, 2u);
  RTArray* got = arrayGetter(self(), offsetof(Fields, array));
  EXPECT_EQ(got, array);
  RuntimeUnlockArray(got);
  arraySetter(self(), offsetof(Fields, array), nullptr);
  EXPECT_EQ(array->refCount, 1u);
  RuntimeUnlockArray(array);

  objSetter(self(), offsetof(Fields, object), nullptr);
  EXPECT_EQ(objGetter(self(), offsetof(Fields, object)), nullptr);
}

}  // namespace
