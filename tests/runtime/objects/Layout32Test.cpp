// The 32-bit x86 layouts that compiled module code reads and writes directly:
// it fills class records in itself, reaches object fields past the 24-byte
// header and string text past the 21-byte header, and calls array methods
// through 4-byte slots. Built only in the 32-bit build.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

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

struct Field {
  const char* name;
  std::size_t actual;
  std::size_t expected;
};

TEST(Layout32, FieldsSitAtTheOffsetsCompiledCodeUses) {
  const Field fields[] = {
      {"ObjectHeader.methodTable", offsetof(ObjectHeader, methodTable), 0},
      {"ObjectHeader.cls", offsetof(ObjectHeader, cls), 4},
      {"ObjectHeader.eventTable", offsetof(ObjectHeader, eventTable), 8},
      {"ObjectHeader.refCount", offsetof(ObjectHeader, refCount), 12},
      {"ObjectHeader.previousLive", offsetof(ObjectHeader, previousLive), 16},
      {"ObjectHeader.nextLive", offsetof(ObjectHeader, nextLive), 20},
      {"sizeof ObjectHeader", sizeof(ObjectHeader), 24},
      {"ConsoleApplication exit code", offsetof(ConsoleApplicationObject, exitCode), 24},

      {"StringBlock.refCount", offsetof(StringBlock, refCount), 0},
      {"StringBlock.buffer", offsetof(StringBlock, buffer), 4},
      {"StringBlock.capacity", offsetof(StringBlock, capacity), 8},
      {"StringBlock.length", offsetof(StringBlock, length), 12},
      {"StringBlock.encoding", offsetof(StringBlock, encoding), 16},
      {"StringBlock.lengthByte", offsetof(StringBlock, lengthByte), 20},
      {"StringBlock.text", offsetof(StringBlock, text), 21},

      {"ClassRecord.super", offsetof(ClassRecord, super), 0},
      {"ClassRecord.name", offsetof(ClassRecord, name), 4},
      {"ClassRecord.nextClass", offsetof(ClassRecord, nextClass), 8},
      {"ClassRecord.instanceSize", offsetof(ClassRecord, instanceSize), 12},
      {"ClassRecord.isInterface", offsetof(ClassRecord, isInterface), 16},
      {"ClassRecord.initializer", offsetof(ClassRecord, initializer), 20},
      {"ClassRecord.destructor", offsetof(ClassRecord, destructor), 24},
      {"ClassRecord.finalizer", offsetof(ClassRecord, finalizer), 28},
      {"ClassRecord.methodCount", offsetof(ClassRecord, methodCount), 32},
      {"ClassRecord.methods", offsetof(ClassRecord, methods), 36},
      {"ClassRecord.eventCount", offsetof(ClassRecord, eventCount), 40},
      {"ClassRecord.events", offsetof(ClassRecord, events), 44},
      {"ClassRecord.sharedCount", offsetof(ClassRecord, sharedCount), 48},
      {"ClassRecord.shared", offsetof(ClassRecord, shared), 52},
      {"ClassRecord.propertyCount", offsetof(ClassRecord, propertyCount), 56},
      {"ClassRecord.properties", offsetof(ClassRecord, properties), 60},
      {"ClassRecord.interfaceCount", offsetof(ClassRecord, interfaceCount), 64},
      {"ClassRecord.interfaces", offsetof(ClassRecord, interfaces), 68},
      {"sizeof MethodEntry", sizeof(MethodEntry), 8},
      {"MethodEntry.signature", offsetof(MethodEntry, signature), 4},
      {"sizeof EventEntry", sizeof(EventEntry), 8},
      {"sizeof SharedMemberEntry", sizeof(SharedMemberEntry), 8},
      {"sizeof PropertyEntry", sizeof(PropertyEntry), 16},
      {"sizeof InterfaceEntry", sizeof(InterfaceEntry), 12},
      {"InterfaceEntry.methods", offsetof(InterfaceEntry, methods), 8},

      {"ArrayBlock.refCount", offsetof(ArrayBlock, refCount), 0},
      {"ArrayBlock.methods", offsetof(ArrayBlock, methods), 4},
      {"ArrayBlock.data", offsetof(ArrayBlock, data), 8},
      {"ArrayBlock.dimensions", offsetof(ArrayBlock, dimensions), 12},
      {"ArrayBlock.bufferLength", offsetof(ArrayBlock, bufferLength), 16},
      {"ArrayBlock.growthStep", offsetof(ArrayBlock, growthStep), 20},
      {"ArrayBlock.upperBounds", offsetof(ArrayBlock, upperBounds), 24},
      {"array Shuffle slot", offsetof(ArrayMethodTable, slots[kArraySlotShuffle]), 0x28},
      {"array UBound slot", offsetof(ArrayMethodTable, slots[kArraySlotUBound]), 0x2c},

      {"sizeof IntrinsicEntry", sizeof(IntrinsicEntry), 16},
  };
  for (const Field& field : fields) EXPECT_EQ(field.actual, field.expected) << field.name;
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
  const auto* base = reinterpret_cast<const char*>(cls);
  EXPECT_EQ(reinterpret_cast<const char*>(cls->methods) - base, 68 + 12);
  EXPECT_EQ(reinterpret_cast<const char*>(cls->events) - base, 68 + 12 + 8 * 21);
  EXPECT_EQ(reinterpret_cast<const char*>(cls->shared) - base, 68 + 12 + 8 * 21 + 8 * 2);
  EXPECT_EQ(reinterpret_cast<const char*>(cls->properties) - base,
            68 + 12 + 8 * 21 + 8 * 2 + 8 * 3);
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
