#include <cstdint>
#include <cstdlib>
#include <string>

#include "ClasslibTest.h"
#include "classlib/BoxedValues.h"
#include "classlib/Dictionary.h"
#include "classlib/DictionaryApi.h"
#include "classlib/MemoryBlockApi.h"
#include "numbers/DateApi.h"
#include "numbers/DateObject.h"
#include "objects/ArrayApi.h"
#include "objects/ArrayHandle.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "objects/ExceptionHandle.h"
#include "text/StringHandle.h"

namespace {

using classlib_test::ClasslibTest;
using classlib_test::takeExceptionName;
using rt::Object;
using namespace rt::classlib;

Object box(RTObject* boxed) { return Object::adopt(boxed); }
Object number(std::int32_t value) { return box(boxInt32(value)); }
Object text(const char* value) { return box(boxString(rt::String(value).get())); }

Object date(double seconds) {
  Object object = box(RuntimeNewObject(rt::objects::classFor(rt::dates::dateClass)));
  dateTotalSecondsSetter(object.get(), seconds);
  return object;
}

std::int32_t numberIn(const Object& box) {
  return reinterpret_cast<const Int32Object*>(box.get())->value;
}

// A Dictionary made as compiled code makes one: a new object, then its constructor.
class Dictionary {
 public:
  Dictionary() : object_(Object::adopt(RuntimeNewObject(rt::objects::classFor(dictionaryClass)))) {
    dictionaryConstructor(get());
  }

  RTObject* get() const { return object_.get(); }
  DictionaryObject& table() const { return *reinterpret_cast<DictionaryObject*>(get()); }

  void set(const Object& key, const Object& value) {
    dictionaryValueSetter(get(), key.get(), value.get());
  }
  Object value(const Object& key) const {
    return Object::adopt(dictionaryValueGetter(get(), key.get()));
  }
  Object key(std::int32_t index) const { return Object::adopt(dictionaryKey(get(), index)); }
  bool has(const Object& key) const { return dictionaryHasKey(get(), key.get()) != 0; }
  void remove(const Object& key) { dictionaryRemove(get(), key.get()); }
  std::int32_t count() const { return dictionaryCount(get()); }
  std::int32_t bins() const { return dictionaryGetBins(get()); }

  // Keys 0 to n - 1, each with the value ten times the key.
  void fill(std::int32_t n) {
    for (std::int32_t i = 0; i < n; ++i) set(number(i), number(10 * i));
  }

 private:
  Object object_;
};

using DictionaryTest = ClasslibTest;

TEST_F(DictionaryTest, ResizesPastThreeQuartersThroughTheBinCountList) {
  Dictionary dictionary;
  EXPECT_EQ(dictionary.count(), 0);
  EXPECT_EQ(dictionary.bins(), 61);
  // The 46th key passes 61 * 3 / 4 but 46 * 4 / 3 is still 61.
  const struct {
    std::int32_t keys;
    std::int32_t bins;
  } steps[] = {{45, 61}, {46, 61}, {47, 127}, {95, 127}, {96, 251}, {189, 509}};
  std::int32_t added = 0;
  for (const auto& step : steps) {
    for (; added < step.keys; ++added) dictionary.set(number(added), number(10 * added));
    EXPECT_EQ(dictionary.bins(), step.bins) << step.keys << " keys";
    EXPECT_EQ(dictionary.table().growthStep, static_cast<std::uint32_t>(step.bins / 4));
  }
  for (std::int32_t i = 0; i < added; ++i) {
    ASSERT_EQ(numberIn(dictionary.key(i)), i);
    ASSERT_EQ(numberIn(dictionary.value(number(i))), 10 * i);
  }
}

TEST_F(DictionaryTest, SettingAnExistingKeyReplacesItsValueInPlace) {
  Dictionary dictionary;
  dictionary.fill(3);
  const std::int64_t objects = rt::objects::liveObjectCount();
  dictionary.set(number(1), text("one"));
  EXPECT_EQ(dictionary.count(), 3);
  EXPECT_EQ(numberIn(dictionary.key(1)), 1);
  EXPECT_EQ(Object::adopt(dictionaryValueByIndex(dictionary.get(), 1)),
            dictionary.value(number(1)));
  // The old value was released, the new key discarded.
  EXPECT_EQ(rt::objects::liveObjectCount(), objects);
}

TEST_F(DictionaryTest, RemovalMovesTheLastEntryIntoTheHoleAndListsFollowEntryOrder) {
  Dictionary dictionary;
  dictionary.fill(4);
  dictionary.remove(number(1));
  EXPECT_EQ(dictionary.count(), 3);
  EXPECT_EQ(numberIn(dictionary.key(1)), 3);
  EXPECT_EQ(dictionary.table().entries[1]->index, 1) << "the moved entry knows its place";
  EXPECT_FALSE(dictionary.has(number(1)));
  EXPECT_TRUE(dictionary.has(number(3)));
  const rt::Array keys = rt::Array::adopt(dictionaryKeys(dictionary.get()));
  const rt::Array values = rt::Array::adopt(dictionaryValues(dictionary.get()));
  ASSERT_EQ(RuntimeUBound(keys.get()), 2);
  ASSERT_EQ(RuntimeUBound(values.get()), 2);
  const std::int32_t expected[] = {0, 3, 2};
  for (std::int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(reinterpret_cast<Int32Object**>(keys->data)[i]->value, expected[i]);
    EXPECT_EQ(reinterpret_cast<Int32Object**>(values->data)[i]->value, 10 * expected[i]);
  }

  dictionaryRemoveAll(dictionary.get());
  EXPECT_EQ(RuntimeUBound(rt::Array::adopt(dictionaryKeys(dictionary.get())).get()), -1);
}

TEST_F(DictionaryTest, MissingKeysAndIndexesRaise) {
  Dictionary dictionary;
  dictionary.fill(2);
  const Object fallback = text("fallback");

  EXPECT_EQ(dictionary.value(number(7)), nullptr);
  EXPECT_EQ(takeExceptionName(), "KeyNotFoundException");
  dictionary.remove(number(7));
  EXPECT_EQ(takeExceptionName(), "KeyNotFoundException");
  EXPECT_EQ(dictionary.count(), 2);

  EXPECT_EQ(Object::adopt(DictionaryLookup(dictionary.get(), number(7).get(), fallback.get())),
            fallback);
  EXPECT_EQ(
      numberIn(Object::adopt(DictionaryLookup(dictionary.get(), number(1).get(), fallback.get()))),
      10);

  for (std::int32_t index : {-1, 2}) {
    EXPECT_EQ(dictionary.key(index), nullptr);
    EXPECT_EQ(takeExceptionName(), "OutOfBoundsException") << index;
    EXPECT_EQ(Object::adopt(dictionaryValueByIndex(dictionary.get(), index)), nullptr);
    EXPECT_EQ(takeExceptionName(), "OutOfBoundsException") << index;
  }

  EXPECT_EQ(dictionaryCount(nullptr), 0);
  EXPECT_EQ(takeExceptionName(), "NilObjectException");
}

TEST_F(DictionaryTest, FixedBinsStayFixedThrough1000Keys) {
  Dictionary dictionary;
  dictionarySetBins(dictionary.get(), 10);
  dictionary.fill(1000);
  EXPECT_EQ(dictionary.bins(), 10);
  EXPECT_EQ(dictionary.count(), 1000);
  for (std::int32_t i = 0; i < 1000; i += 37)
    EXPECT_EQ(numberIn(dictionary.value(number(i))), 10 * i);

  // Back to automatic: the list's first count of at least 1000 * 4 / 3.
  dictionarySetBins(dictionary.get(), 0);
  EXPECT_EQ(dictionary.bins(), 2039);
  EXPECT_FALSE(dictionary.table().binsFixed);
  for (std::int32_t i = 0; i < 1000; i += 37)
    EXPECT_EQ(numberIn(dictionary.value(number(i))), 10 * i);
}

TEST_F(DictionaryTest, NumbersStringsAndDatesMatchByValueOtherKeysByReference) {
  const Object block = box(newMemoryBlock(4));
  const struct {
    const char* rule;
    Object stored;
    Object probe;
    bool found;
  } rows[] = {
      {"Int64 of an Int32's value", number(5), box(boxInt64(5)), true},
      {"UInt32 of an Int32's value", number(5), box(boxUInt32(5)), true},
      {"UInt64 of an Int32's value", number(5), box(boxUInt64(5)), true},
      {"Double of a Single's value", box(boxSingle(0.5f)), box(boxDouble(0.5)), true},
      // Equal hashes alone do not make one key: a Color and a Boolean are not numbers.
      {"a Color of an Int32's value", number(5), box(boxColor(5)), false},
      {"a Boolean", number(5), box(boxBoolean(true)), false},
      {"strings ignoring case", text("Apple"), text("aPpLe"), true},
      {"a longer string", text("Apple"), text("apples"), false},
      {"dates by TotalSeconds", date(86400), date(86400), true},
      {"a date a second later", date(86400), date(86401), false},
      {"the same block", block, block, true},
      {"another block of the same bytes", block, box(newMemoryBlock(4)), false},
      {"nil where it is no key", block, Object(), false},
      {"nil as a key", Object(), Object(), true},
  };
  for (const auto& row : rows) {
    Dictionary dictionary;
    dictionary.set(row.stored, number(0));
    EXPECT_EQ(dictionary.has(row.probe), row.found) << row.rule;
  }

  // A matching key replaces the value; the first key stays.
  Dictionary dictionary;
  dictionary.set(number(5), text("five"));
  dictionary.set(box(boxUInt64(5)), text("FIVE"));
  dictionary.set(text("Apple"), number(1));
  dictionary.set(text("APPLE"), number(2));
  EXPECT_EQ(dictionary.count(), 2);
  EXPECT_EQ(dictionary.key(0)->cls, rt::objects::classFor(int32ObjectClass));
  EXPECT_EQ(numberIn(dictionary.value(text("aPpLe"))), 2);
}

// A class of compiled code with its own hash method.
struct HashedObject {
  RTObject header;
  std::int32_t hash;
};

std::int32_t hashedObjectHash(RTObject* object) {
  return reinterpret_cast<HashedObject*>(object)->hash;
}

std::int32_t raisingHash(RTObject*) {
  rt::exceptions::raise(rt::exceptions::typeMismatchException);
  return 0;
}

std::int32_t throwingHash(RTObject*) {
  rt::exceptions::raise(rt::exceptions::typeMismatchException);
  rt::throwPending();
}

void* hashMethod(std::int32_t (*method)(RTObject*)) { return reinterpret_cast<void*>(method); }

const rt::MethodDefinition kHashedMethods[] = {
    {"Operator_Hash%i4%o<HashedObject>", hashMethod(&hashedObjectHash)}};
const rt::MethodDefinition kRaisingMethods[] = {
    {"Operator_Hash%i4%o<RaisingObject>", hashMethod(&raisingHash)}};
const rt::MethodDefinition kThrowingMethods[] = {
    {"Operator_Hash%i4%o<ThrowingObject>", hashMethod(&throwingHash)}};
const rt::ClassDefinition hashedClass{
    "HashedObject", nullptr, sizeof(HashedObject), nullptr, nullptr, kHashedMethods, {}, {}};
const rt::ClassDefinition raisingClass{
    "RaisingObject", nullptr, sizeof(HashedObject), nullptr, nullptr, kRaisingMethods, {}, {}};
const rt::ClassDefinition throwingClass{
    "ThrowingObject", nullptr, sizeof(HashedObject), nullptr, nullptr, kThrowingMethods, {}, {}};

Object hashed(const rt::ClassDefinition& definition, std::int32_t hash) {
  Object object = box(RuntimeNewObject(rt::objects::classFor(definition)));
  reinterpret_cast<HashedObject*>(object.get())->hash = hash;
  return object;
}

TEST_F(DictionaryTest, TheKeyClassHashMethodChoosesTheChain) {
  for (const auto* definition : {&hashedClass, &raisingClass, &throwingClass}) {
    rt::objects::classFor(*definition);
  }
  rebaseline();
  Dictionary dictionary;
  // One chain holds them all: same hash, different objects.
  const Object first = hashed(hashedClass, 3), second = hashed(hashedClass, 3),
               third = hashed(hashedClass, 3 + 61);
  for (const Object* key : {&first, &second, &third}) dictionary.set(*key, *key);
  EXPECT_EQ(dictionary.count(), 3);
  EXPECT_EQ(dictionary.table().entries[0]->hash, 3u);
  dictionary.remove(second);
  EXPECT_EQ(dictionary.value(first), first);
  EXPECT_EQ(dictionary.value(third), third);
  EXPECT_FALSE(dictionary.has(second));

  for (const auto* definition : {&raisingClass, &throwingClass}) {
    const Object key = hashed(*definition, 0);
    dictionary.set(key, number(1));
    EXPECT_EQ(takeExceptionName(), "TypeMismatchException") << definition->name;
    EXPECT_EQ(dictionary.count(), 2) << definition->name;
    EXPECT_FALSE(dictionary.has(key));
    EXPECT_EQ(takeExceptionName(), "TypeMismatchException") << definition->name;
  }
}

TEST_F(DictionaryTest, ClearReleasesEveryEntryAndStartsAgain) {
  Dictionary dictionary;
  const std::int64_t objects = rt::objects::liveObjectCount();
  dictionarySetBins(dictionary.get(), 500);
  dictionary.fill(100);
  dictionaryRemoveAll(dictionary.get());
  EXPECT_EQ(rt::objects::liveObjectCount(), objects);
  EXPECT_EQ(dictionary.count(), 0);
  EXPECT_EQ(dictionary.bins(), 61);
  EXPECT_FALSE(dictionary.table().binsFixed);
  dictionary.fill(47);
  EXPECT_EQ(dictionary.bins(), 127);
}

TEST_F(DictionaryTest, EntryStorageShrinksAsEntriesGo) {
  // Bins 40 give a growth step of 10; bins 3 give none, so the array doubles.
  const struct {
    std::int32_t bins;
    std::int32_t remaining;
    std::uint32_t capacity;
  } cases[] = {{40, 100, 112}, {40, 92, 112}, {40, 91, 100}, {40, 0, 20},
               {3, 100, 128},  {3, 43, 128},  {3, 42, 48},   {3, 0, 16}};
  for (const auto& c : cases) {
    Dictionary dictionary;
    dictionarySetBins(dictionary.get(), c.bins);
    dictionary.fill(100);
    for (std::int32_t i = 99; i >= c.remaining; --i) dictionary.remove(number(i));
    EXPECT_EQ(dictionary.table().capacity, c.capacity) << c.bins << " bins, " << c.remaining;
  }
}

TEST(DictionaryDeathTest, BinsThatCannotBeAllocatedRaiseOutOfMemory) {
  if (!classlib_test::kAddressSpaceCanBeLimited) GTEST_SKIP() << "sanitized build";
  EXPECT_EXIT(
      {
        Dictionary dictionary;
        dictionary.fill(3);
        classlib_test::limitAddressSpace();
        dictionarySetBins(dictionary.get(), 0x7FFFFFFF);
        const bool unchanged =
            dictionary.bins() == 61 && !dictionary.table().binsFixed && dictionary.count() == 3;
        std::exit(takeExceptionName() == "OutOfMemoryException" && unchanged ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
