#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "numbers/NumberApi.h"
#include "objects/ArrayApi.h"
#include "objects/ArrayHandle.h"
#include "objects/ExceptionHandle.h"
#include "support/RuntimeFixture.h"
#include "text/StringHandle.h"

namespace {

template <class Function>
Function slot(RTArray* array, ArraySlot which) {
  return reinterpret_cast<Function>(array->methods->slots[which]);
}

int32_t getInt(RTArray* a, int32_t i) { return slot<int32_t (*)(RTArray*, int32_t)>(a, kArraySlotGet)(a, i); }
void setInt(RTArray* a, int32_t v, int32_t i) { slot<void (*)(RTArray*, int32_t, int32_t)>(a, kArraySlotSet)(a, v, i); }
void insertInt(RTArray* a, int32_t i, int32_t v) { slot<void (*)(RTArray*, int32_t, int32_t)>(a, kArraySlotInsert)(a, i, v); }
void redim(RTArray* a, int32_t u) { slot<void (*)(RTArray*, int32_t)>(a, kArraySlotRedim)(a, u); }
void removeAt(RTArray* a, int32_t i) { slot<void (*)(RTArray*, int32_t)>(a, kArraySlotRemove)(a, i); }
void sort(RTArray* a) { slot<void (*)(RTArray*)>(a, kArraySlotSort)(a); }

rt::String getString(RTArray* a, int32_t i) {
  return rt::String::adopt(slot<RTString (*)(RTArray*, int32_t)>(a, kArraySlotGet)(a, i));
}
void setString(RTArray* a, const rt::String& v, int32_t i) {
  slot<void (*)(RTArray*, RTString, int32_t)>(a, kArraySlotSet)(a, v.get(), i);
}
int32_t indexOfString(RTArray* a, const rt::String& v, int32_t start) {
  return slot<int32_t (*)(RTArray*, RTString, int32_t)>(a, kArraySlotIndexOf)(a, v.get(), start);
}

std::string pendingClass() {
  try {
    rt::throwIfPending();
  } catch (const rt::Exception& e) {
    return e.className();
  }
  return "none";
}

class ArraysTest : public rt::test::RuntimeTest {};

TEST_F(ArraysTest, CreateSizesEveryElementTypeAndZeroFills) {
  const int32_t sizes[] = {4, 4, 8, sizeof(void*), sizeof(void*), 1, 1, 2, 2, 4, 8, 8};
  for (int32_t type = 0; type < kArrayElementTypeCount; ++type) {
    rt::Array array = rt::Array::adopt(CreateArray(1, type, 9));
    ASSERT_TRUE(array) << "type " << type;
    EXPECT_EQ(array->refCount, 1u);
    EXPECT_EQ(array->growthStep, 16);
    EXPECT_EQ(array->bufferLength, 10 * sizes[type]) << "type " << type;
    const auto* bytes = static_cast<const unsigned char*>(array->data);
    EXPECT_TRUE(std::all_of(bytes, bytes + array->bufferLength, [](unsigned char b) { return b == 0; }));
    EXPECT_EQ(slot<int32_t (*)(const RTArray*)>(array.get(), kArraySlotElementSize)(array.get()), sizes[type]);
    const bool counted = type == kArrayString || type == kArrayObject;
    EXPECT_EQ(array->methods->slots[kArraySlotLockElement] != nullptr, counted) << "type " << type;
    EXPECT_EQ(array->methods->slots[kArraySlotSort] != nullptr, type != kArrayObject) << "type " << type;
  }
  testing::internal::CaptureStdout();
  EXPECT_EQ(CreateArray(1, 12, 3), nullptr);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("../Common/RuntimeArrayFoundation"), std::string::npos);
}

TEST_F(ArraysTest, SizesThatOverflowAreRefusedNotWrapped) {
  struct Case {
    int32_t dimensions;
    int32_t type;
    int32_t bounds[3];
  };
  // 4 × 2^31 × 2^31 and 2^31 × 2^31 × 2^31 bytes: both wrap to 0 in 64 bits.
  for (const Case& c : {Case{2, kArrayInt32, {INT32_MAX, INT32_MAX, 0}},
                        Case{3, kArrayUInt8, {INT32_MAX, INT32_MAX, INT32_MAX}}}) {
    testing::internal::CaptureStdout();
    RTArray* array = CreateArray(c.dimensions, c.type, c.bounds[0], c.bounds[1], c.bounds[2]);
    const std::string report = testing::internal::GetCapturedStdout();
    EXPECT_EQ(array, nullptr) << c.dimensions << " dimensions";
    EXPECT_NE(report.find("Failure Condition: out\n"), std::string::npos) << c.dimensions << " dimensions";
  }
  rt::Array empty = rt::Array::adopt(CreateArray(3, kArrayInt32, INT32_MAX, INT32_MAX, -1));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->data, nullptr);
  EXPECT_EQ(empty->bufferLength, 0);
}

TEST_F(ArraysTest, EmptyAndSingleElementArrays) {
  rt::Array empty = rt::Array::adopt(CreateArray(1, kArrayString, -1));
  EXPECT_EQ(empty->data, nullptr);
  EXPECT_EQ(RuntimeUBound(empty.get()), -1);
  rt::Array one = rt::Array::adopt(CreateArray(1, kArrayString, 0));
  EXPECT_TRUE(getString(one.get(), 0).empty());
}

TEST_F(ArraysTest, AccessOutsideTheBoundsRaises) {
  rt::Array array = rt::Array::adopt(CreateArray(1, kArrayInt32, 2));
  setInt(array.get(), 7, 2);
  EXPECT_EQ(getInt(array.get(), 2), 7);
  for (int32_t index : {-1, 3}) {
    EXPECT_EQ(getInt(array.get(), index), 0);
    EXPECT_EQ(pendingClass(), "OutOfBoundsException") << index;
    setInt(array.get(), 1, index);
    EXPECT_EQ(pendingClass(), "OutOfBoundsException") << index;
  }
}

TEST_F(ArraysTest, StringElementsAreCounted) {
  rt::String text("kept");
  {
    rt::Array array = rt::Array::adopt(CreateArray(1, kArrayString, 3));
    setString(array.get(), text, 0);
    setString(array.get(), text, 1);
    EXPECT_EQ(text->refCount, 3u);
    setString(array.get(), rt::String("other"), 1);
    EXPECT_EQ(text->refCount, 2u);
    EXPECT_EQ(getString(array.get(), 0).view(), "kept");
    redim(array.get(), 0);
    EXPECT_EQ(getString(array.get(), 0).view(), "kept");
    redim(array.get(), 4);
    EXPECT_EQ(RuntimeUBound(array.get()), 4);
    EXPECT_TRUE(getString(array.get(), 4).empty());
  }
  EXPECT_EQ(text->refCount, 1u);
}

TEST_F(ArraysTest, RedimBeyondTheBufferLengthIsRefused) {
  struct Case {
    int32_t type;
    int32_t upperBound;
  };
  // (upper bound + 1) × element size bytes above 2^31 − 1; the first also
  // overflows upper bound + 1.
  for (const Case& c : {Case{kArrayUInt8, INT32_MAX}, Case{kArrayInt32, 0x1FFFFFFF},
                        Case{kArrayString, 0x7FFFFFF0}}) {
    rt::Array array = rt::Array::adopt(CreateArray(1, c.type, 2));
    const int32_t length = array->bufferLength;
    testing::internal::CaptureStdout();
    redim(array.get(), c.upperBound);
    const std::string report = testing::internal::GetCapturedStdout();
    EXPECT_NE(report.find("Failure Condition: out\n"), std::string::npos) << "type " << c.type;
    EXPECT_EQ(RuntimeUBound(array.get()), 2) << "type " << c.type;
    EXPECT_EQ(array->bufferLength, length) << "type " << c.type;
  }
}

TEST_F(ArraysTest, InsertAppendsGrowsAndShifts) {
  rt::Array array = rt::Array::adopt(CreateArray(1, kArrayInt32, -1));
  for (int32_t i = 0; i < 100; ++i) insertInt(array.get(), i, i);
  EXPECT_EQ(RuntimeUBound(array.get()), 99);
  EXPECT_EQ(array->growthStep, 128);  // doubled at each growth: 16, 32, 64, 128
  insertInt(array.get(), 0, -1);
  EXPECT_EQ(getInt(array.get(), 0), -1);
  EXPECT_EQ(getInt(array.get(), 100), 99);
  insertInt(array.get(), -1, 5);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
  insertInt(array.get(), 102, 5);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");

  removeAt(array.get(), 0);
  EXPECT_EQ(getInt(array.get(), 0), 0);
  EXPECT_EQ(RuntimeUBound(array.get()), 99);
  EXPECT_EQ(array->growthStep, 16);
  removeAt(array.get(), 100);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
  slot<void (*)(RTArray*, int32_t)>(array.get(), kArraySlotRemove)(nullptr, 0);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
}

TEST_F(ArraysTest, IndexOfComparesStringsWithoutCase) {
  rt::Array array = rt::Array::adopt(CreateArray(1, kArrayString, 2));
  setString(array.get(), rt::String("a"), 0);
  setString(array.get(), rt::String("b"), 1);
  setString(array.get(), rt::String("A"), 2);
  EXPECT_EQ(indexOfString(array.get(), rt::String("a"), -1), 0);
  EXPECT_EQ(indexOfString(array.get(), rt::String("a"), 1), 2);
  EXPECT_EQ(indexOfString(array.get(), rt::String("z"), 0), -1);
  EXPECT_EQ(indexOfString(array.get(), rt::String("a"), 3), -1);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
  EXPECT_EQ(indexOfString(array.get(), rt::String("a"), -2), -1);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
}

TEST_F(ArraysTest, SortOrdersAndCarriesCompanions) {
  rt::Array keys = rt::Array::adopt(CreateArray(1, kArrayString, 3));
  rt::Array values = rt::Array::adopt(CreateArray(1, kArrayInt32, 3));
  const char* words[] = {"pear", "Apple", "fig", "apple"};
  for (int32_t i = 0; i < 4; ++i) {
    setString(keys.get(), rt::String(words[i]), i);
    setInt(values.get(), i, i);
  }
  slot<void (*)(RTArray*, ...)>(keys.get(), kArraySlotSortWith)(keys.get(), values.get(), nullptr);
  const char* sorted[] = {"Apple", "apple", "fig", "pear"};
  const int32_t carried[] = {1, 3, 2, 0};
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(getString(keys.get(), i).view(), sorted[i]);
    EXPECT_EQ(getInt(values.get(), i), carried[i]);
  }

  rt::Array numbers = rt::Array::adopt(CreateArray(1, kArrayDouble, 2));
  using SetDouble = void (*)(RTArray*, double, int32_t);
  using GetDouble = double (*)(RTArray*, int32_t);
  for (int32_t i = 0; i < 3; ++i) slot<SetDouble>(numbers.get(), kArraySlotSet)(numbers.get(), 2.5 - i * 1.5, i);
  sort(numbers.get());
  EXPECT_EQ(slot<GetDouble>(numbers.get(), kArraySlotGet)(numbers.get(), 0), -0.5);
  EXPECT_EQ(slot<GetDouble>(numbers.get(), kArraySlotGet)(numbers.get(), 2), 2.5);
}

TEST_F(ArraysTest, ShuffleIsAPermutationDrivenByTheGenerator) {
  const int32_t saved = rt::numbers::randomState();
  rt::numbers::setRandomState(1);
  rt::Array array = rt::Array::adopt(CreateArray(1, kArrayInt32, 9));
  for (int32_t i = 0; i < 10; ++i) setInt(array.get(), i, i);
  slot<void (*)(RTArray*)>(array.get(), kArraySlotShuffle)(array.get());
  rt::numbers::setRandomState(saved);
  std::vector<int32_t> seen;
  for (int32_t i = 0; i < 10; ++i) seen.push_back(getInt(array.get(), i));
  std::vector<int32_t> expected(10);
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_NE(seen, expected);
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, expected);
}

TEST_F(ArraysTest, MultipleDimensionsStoreTheFirstIndexFastest) {
  rt::Array grid = rt::Array::adopt(CreateArray(2, kArrayInt32, 2, 3));
  EXPECT_EQ(grid->bufferLength, 12 * 4);
  using Set2 = void (*)(RTArray*, int32_t, int32_t, int32_t);
  using Get2 = int32_t (*)(RTArray*, int32_t, int32_t);
  slot<Set2>(grid.get(), kArraySlotSet)(grid.get(), 42, 1, 2);
  EXPECT_EQ(static_cast<int32_t*>(grid->data)[7], 42);
  EXPECT_EQ(slot<Get2>(grid.get(), kArraySlotGet)(grid.get(), 1, 2), 42);
  slot<Get2>(grid.get(), kArraySlotGet)(grid.get(), 3, 0);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
  EXPECT_EQ(RuntimeUBound2Param(grid.get(), -1), 2);
  EXPECT_EQ(RuntimeUBound2Param(grid.get(), 2), 3);
  EXPECT_EQ(RuntimeUBound2Param(grid.get(), 3), -1);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");

  rt::Array cube = rt::Array::adopt(CreateArray(3, kArrayString, 1, 1, 1));
  using Set3 = void (*)(RTArray*, RTString, ...);
  using Get3 = RTString (*)(RTArray*, ...);
  slot<Set3>(cube.get(), kArraySlotSet)(cube.get(), rt::String("corner").get(), 1, 1, 1);
  EXPECT_EQ(static_cast<RTString*>(cube->data)[7]->text, std::string("corner"));
  EXPECT_EQ(rt::String::adopt(slot<Get3>(cube.get(), kArraySlotGet)(cube.get(), 1, 1, 1)).view(), "corner");

  testing::internal::CaptureStdout();
  redim(cube.get(), 5);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("1 == array->dimensions"), std::string::npos);
}

TEST_F(ArraysTest, NilArraysRaiseInUpperBound) {
  EXPECT_EQ(RuntimeUBound(nullptr), 0);
  EXPECT_EQ(pendingClass(), "NilObjectException");
  EXPECT_EQ(RuntimeUBound2Param(nullptr, 1), -1);
  EXPECT_EQ(pendingClass(), "NilObjectException");
}

TEST_F(ArraysTest, StructureArraysCopyFixedSizeRecords) {
  struct Point {
    int64_t x, y, z;
  };
  rt::Array points = rt::Array::adopt(RuntimeCreateStructureArray(1, sizeof(Point), 2));
  const Point p{1, 2, 3};
  using SetRecord = void (*)(RTArray*, const void*, int32_t);
  using GetRecord = void* (*)(RTArray*, int32_t);
  slot<SetRecord>(points.get(), kArraySlotSet)(points.get(), &p, 2);
  const auto* got = static_cast<const Point*>(slot<GetRecord>(points.get(), kArraySlotGet)(points.get(), 2));
  EXPECT_EQ(got->z, 3);
  EXPECT_EQ(slot<GetRecord>(points.get(), kArraySlotGet)(points.get(), 3), nullptr);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
  slot<void (*)(RTArray*)>(points.get(), kArraySlotShuffle)(points.get());
}

}  // namespace
