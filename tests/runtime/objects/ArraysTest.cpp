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

// Calls a fixed-argument method slot the way compiled code does.
template <class Result = void, class... Args>
Result call(RTArray* array, ArraySlot which, Args... args) {
  return slot<Result (*)(RTArray*, Args...)>(array, which)(array, args...);
}

int32_t getInt(RTArray* a, int32_t i) { return call<int32_t>(a, kArraySlotGet, i); }
void setInt(RTArray* a, int32_t v, int32_t i) { call(a, kArraySlotSet, v, i); }
rt::String getString(RTArray* a, int32_t i) {
  return rt::String::adopt(call<RTString>(a, kArraySlotGet, i));
}
void setString(RTArray* a, const rt::String& v, int32_t i) { call(a, kArraySlotSet, v.get(), i); }
int32_t indexOf(RTArray* a, const char* v, int32_t start) {
  return call<int32_t>(a, kArraySlotIndexOf, rt::String(v).get(), start);
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
    EXPECT_TRUE(
        std::all_of(bytes, bytes + array->bufferLength, [](unsigned char b) { return b == 0; }));
    EXPECT_EQ(call<int32_t>(array.get(), kArraySlotElementSize), sizes[type]);
    const bool counted = type == kArrayString || type == kArrayObject;
    EXPECT_EQ(array->methods->slots[kArraySlotLockElement] != nullptr, counted) << "type " << type;
    EXPECT_EQ(array->methods->slots[kArraySlotSort] != nullptr, type != kArrayObject)
        << "type " << type;
  }
  testing::internal::CaptureStdout();
  EXPECT_EQ(CreateArray(1, 12, 3), nullptr);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("../Common/RuntimeArrayFoundation"),
            std::string::npos);
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
    EXPECT_NE(report.find("Failure Condition: out\n"), std::string::npos)
        << c.dimensions << " dimensions";
  }
  rt::Array empty = rt::Array::adopt(CreateArray(3, kArrayInt32, INT32_MAX, INT32_MAX, -1));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->data, nullptr);
  EXPECT_EQ(empty->bufferLength, 0);
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
    call(array.get(), kArraySlotRedim, 0);
    EXPECT_EQ(getString(array.get(), 0).view(), "kept");
    call(array.get(), kArraySlotRedim, 4);
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
    call(array.get(), kArraySlotRedim, c.upperBound);
    const std::string report = testing::internal::GetCapturedStdout();
    EXPECT_NE(report.find("Failure Condition: out\n"), std::string::npos) << "type " << c.type;
    EXPECT_EQ(RuntimeUBound(array.get()), 2) << "type " << c.type;
    EXPECT_EQ(array->bufferLength, length) << "type " << c.type;
  }
}

TEST_F(ArraysTest, InsertAppendsGrowsAndShifts) {
  rt::Array array = rt::Array::adopt(CreateArray(1, kArrayInt32, -1));
  for (int32_t i = 0; i < 100; ++i) call(array.get(), kArraySlotInsert, i, i);
  EXPECT_EQ(RuntimeUBound(array.get()), 99);
  EXPECT_EQ(array->growthStep, 128);  // doubled at each growth: 16, 32, 64, 128
  call(array.get(), kArraySlotInsert, 0, -1);
  EXPECT_EQ(getInt(array.get(), 0), -1);
  EXPECT_EQ(getInt(array.get(), 100), 99);
  call(array.get(), kArraySlotInsert, -1, 5);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
  call(array.get(), kArraySlotInsert, 102, 5);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");

  call(array.get(), kArraySlotRemove, 0);
  EXPECT_EQ(getInt(array.get(), 0), 0);
  EXPECT_EQ(RuntimeUBound(array.get()), 99);
  EXPECT_EQ(array->growthStep, 16);
  call(array.get(), kArraySlotRemove, 100);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
  slot<void (*)(RTArray*, int32_t)>(array.get(), kArraySlotRemove)(nullptr, 0);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
}

TEST_F(ArraysTest, IndexOfComparesStringsWithoutCase) {
  rt::Array array = rt::Array::adopt(CreateArray(1, kArrayString, 2));
  setString(array.get(), rt::String("a"), 0);
  setString(array.get(), rt::String("b"), 1);
  setString(array.get(), rt::String("A"), 2);
  EXPECT_EQ(indexOf(array.get(), "a", -1), 0);
  EXPECT_EQ(indexOf(array.get(), "a", 1), 2);
  EXPECT_EQ(indexOf(array.get(), "z", 0), -1);
  EXPECT_EQ(indexOf(array.get(), "a", 3), -1);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
  EXPECT_EQ(indexOf(array.get(), "a", -2), -1);
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
  for (int32_t i = 0; i < 3; ++i) call(numbers.get(), kArraySlotSet, 2.5 - i * 1.5, i);
  call(numbers.get(), kArraySlotSort);
  EXPECT_EQ(call<double>(numbers.get(), kArraySlotGet, 0), -0.5);
  EXPECT_EQ(call<double>(numbers.get(), kArraySlotGet, 2), 2.5);
}

TEST_F(ArraysTest, ShuffleIsAPermutationDrivenByTheGenerator) {
  const int32_t saved = rt::numbers::randomState();
  rt::numbers::setRandomState(1);
  rt::Array array = rt::Array::adopt(CreateArray(1, kArrayInt32, 9));
  for (int32_t i = 0; i < 10; ++i) setInt(array.get(), i, i);
  call(array.get(), kArraySlotShuffle);
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
  call(grid.get(), kArraySlotSet, 42, 1, 2);
  EXPECT_EQ(static_cast<int32_t*>(grid->data)[7], 42);
  EXPECT_EQ(call<int32_t>(grid.get(), kArraySlotGet, 1, 2), 42);
  call<int32_t>(grid.get(), kArraySlotGet, 3, 0);
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
  EXPECT_EQ(rt::String::adopt(slot<Get3>(cube.get(), kArraySlotGet)(cube.get(), 1, 1, 1)).view(),
            "corner");

  testing::internal::CaptureStdout();
  call(cube.get(), kArraySlotRedim, 5);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("1 == array->dimensions"),
            std::string::npos);
}

TEST_F(ArraysTest, EmptyArraysHaveNoDataAndNilArraysRaiseInUpperBound) {
  rt::Array empty = rt::Array::adopt(CreateArray(1, kArrayString, -1));
  EXPECT_EQ(empty->data, nullptr);
  EXPECT_EQ(RuntimeUBound(empty.get()), -1);
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
  call(points.get(), kArraySlotSet, static_cast<const void*>(&p), 2);
  EXPECT_EQ(static_cast<const Point*>(call<void*>(points.get(), kArraySlotGet, 2))->z, 3);
  EXPECT_EQ(call<void*>(points.get(), kArraySlotGet, 3), nullptr);
  EXPECT_EQ(pendingClass(), "OutOfBoundsException");
  call(points.get(), kArraySlotShuffle);
}

}  // namespace
