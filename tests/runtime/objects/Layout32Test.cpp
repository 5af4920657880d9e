// The 32-bit x86 layouts that compiled module code reads and writes directly:
// it fills class records in itself, reaches object fields past the 24-byte
// header and string text past the 21-byte header, and calls array methods
// through 4-byte slots. Built only in the 32-bit build.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "console/ConsoleApplication.h"
#include "host/IntrinsicEntry.h"
#include "objects/ArrayBlock.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionHandle.h"
#include "objects/ObjectModel.h"
#include "support/RuntimeFixture.h"
#include "text/Encodings.h"
#include "text/SmallBlockAllocator.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"

namespace {

static_assert(sizeof(void*) == 4, "this test belongs to the 32-bit build");

// The field's name for a failure message, and its offset.
#define WORD(record, field) \
  std::pair { #record "." #field, offsetof(record, field) }

// A record that compiled code reads as 4-byte words one after another.
void expectWords(std::initializer_list<std::pair<const char*, std::size_t>> words) {
  std::size_t expected = 0;
  for (const auto& [name, offset] : words) {
    EXPECT_EQ(offset, expected) << name;
    expected += 4;
  }
}

TEST(Layout32, FieldsSitAtTheOffsetsCompiledCodeUses) {
  expectWords({WORD(ObjectHeader, methodTable), WORD(ObjectHeader, cls),
               WORD(ObjectHeader, eventTable), WORD(ObjectHeader, refCount),
               WORD(ObjectHeader, previousLive), WORD(ObjectHeader, nextLive)});
  expectWords({WORD(StringBlock, refCount), WORD(StringBlock, buffer), WORD(StringBlock, capacity),
               WORD(StringBlock, length), WORD(StringBlock, encoding),
               WORD(StringBlock, lengthByte)});
  expectWords({WORD(ClassRecord, super), WORD(ClassRecord, name), WORD(ClassRecord, nextClass),
               WORD(ClassRecord, instanceSize), WORD(ClassRecord, isInterface),
               WORD(ClassRecord, initializer), WORD(ClassRecord, destructor),
               WORD(ClassRecord, finalizer), WORD(ClassRecord, methodCount),
               WORD(ClassRecord, methods), WORD(ClassRecord, eventCount), WORD(ClassRecord, events),
               WORD(ClassRecord, sharedCount), WORD(ClassRecord, shared),
               WORD(ClassRecord, propertyCount), WORD(ClassRecord, properties),
               WORD(ClassRecord, interfaceCount), WORD(ClassRecord, interfaces)});
  expectWords({WORD(ArrayBlock, refCount), WORD(ArrayBlock, methods), WORD(ArrayBlock, data),
               WORD(ArrayBlock, dimensions), WORD(ArrayBlock, bufferLength),
               WORD(ArrayBlock, growthStep), WORD(ArrayBlock, upperBounds)});

  const struct {
    const char* name;
    std::size_t actual;
    std::size_t expected;
  } fields[] = {
      {"sizeof ObjectHeader", sizeof(ObjectHeader), 24},
      {"ConsoleApplication exit code", offsetof(ConsoleApplicationObject, exitCode), 24},
      {"StringBlock.text", offsetof(StringBlock, text), 21},
      {"sizeof MethodEntry", sizeof(MethodEntry), 8},
      {"MethodEntry.signature", offsetof(MethodEntry, signature), 4},
      {"sizeof EventEntry", sizeof(EventEntry), 8},
      {"sizeof SharedMemberEntry", sizeof(SharedMemberEntry), 8},
      {"sizeof PropertyEntry", sizeof(PropertyEntry), 16},
      {"sizeof InterfaceEntry", sizeof(InterfaceEntry), 12},
      {"InterfaceEntry.methods", offsetof(InterfaceEntry, methods), 8},
      {"array Shuffle slot", offsetof(ArrayMethodTable, slots[kArraySlotShuffle]), 0x28},
      {"array UBound slot", offsetof(ArrayMethodTable, slots[kArraySlotUBound]), 0x2c},
      {"sizeof IntrinsicEntry", sizeof(IntrinsicEntry), 16},
  };
  for (const auto& field : fields) EXPECT_EQ(field.actual, field.expected) << field.name;
}

class Layout32Test : public rt::test::RuntimeTest {};

TEST_F(Layout32Test, StringBlockTakesLengthPlus22Bytes) {
  const std::string text(300, 'x');
  for (const std::uint32_t length : {1u, 3u, 255u, 256u, 300u}) {
    const std::int64_t before = rt::memory::bytesInUse();
    RTString s = rt::text::makeString(text.data(), length, kEncodingUTF8);
    EXPECT_EQ(rt::memory::bytesInUse() - before, length + 22) << length;
    EXPECT_EQ(s->buffer, &s->lengthByte) << length;
    EXPECT_EQ(s->capacity, length + 2) << length;
    RuntimeUnlockString(s);
  }
}

TEST_F(Layout32Test, ClassRecordIsTheFixedPartThenItsTables) {
  // The counts of the tool's application class.
  const std::int64_t before = rt::memory::bytesInUse();
  ClassRecord* cls = RuntimeNewClass(nullptr, 21, 1, 2, 3, 2);
  const std::int64_t used = rt::memory::bytesInUse() - before;
  const std::uint32_t consoleApplicationSize =
      rt::objects::classFor(rt::console::consoleApplication)->instanceSize;
  rebaseline();
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(used, 68 + 12 * 1 + 8 * 21 + 8 * 2 + 8 * 3 + 16 * 2);
  const auto offset = [cls](const void* table) {
    return static_cast<const char*>(table) - reinterpret_cast<const char*>(cls);
  };
  EXPECT_EQ(offset(cls->methods), 68 + 12);
  EXPECT_EQ(offset(cls->events), 68 + 12 + 8 * 21);
  EXPECT_EQ(offset(cls->shared), 68 + 12 + 8 * 21 + 8 * 2);
  EXPECT_EQ(offset(cls->properties), 68 + 12 + 8 * 21 + 8 * 2 + 8 * 3);
  EXPECT_EQ(consoleApplicationSize, 28u);
}

// Counts whose tables would pass the end of a 32-bit address space must fail
// as an allocation does, not wrap round to a short block.
TEST_F(Layout32Test, TablesBeyondTheAddressSpaceRaiseNilObjectException) {
  struct Case {
    const char* what;
    void* (*make)();
  };
  const Case cases[] = {
      {"class record",
       [] { return static_cast<void*>(RuntimeNewClass(nullptr, 0x20000000, 0, 0, 0, 0)); }},
      {"class record of many kinds",
       [] {
         return static_cast<void*>(
             RuntimeNewClass(nullptr, 0x8000000, 0x8000000, 0x8000000, 0x8000000, 0x8000000));
       }},
      {"method table", [] { return static_cast<void*>(RuntimeNewVtable(0x20000001)); }},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.make(), nullptr) << c.what;
    try {
      rt::throwIfPending();
      ADD_FAILURE() << c.what << ": nothing raised";
    } catch (const rt::Exception& e) {
      EXPECT_EQ(e.className(), "NilObjectException") << c.what;
    }
  }
}

}  // namespace
