#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "objects/ExceptionHandle.h"
#include "objects/ObjectModel.h"
#include "support/RuntimeFixture.h"
#include "text/SmallBlockAllocator.h"
#include "text/StringHandle.h"
#include "text/StringStorage.h"

namespace {

struct Widget {
  RTObject header;
  RTObject* held;
  int value;
};

std::vector<std::string>& log() {
  static std::vector<std::string> entries;
  return entries;
}

RTObject* resurrected = nullptr;

ClassRecord* makeClass(ClassRecord* super, const char* name, uint32_t methods = 0) {
  ClassRecord* cls = RuntimeNewClass(super, methods, 0, 0, 0, 0);
  cls->name = rt::String(name).leak();
  cls->instanceSize = sizeof(Widget);
  return cls;
}

class ObjectModelTest : public rt::test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    log().clear();
  }
};

TEST_F(ObjectModelTest, NewClassLaysTablesOutAfterTheFixedPartAndInherits) {
  ClassRecord* base = RuntimeNewClass(nullptr, 2, 0, 1, 1, 1);
  base->methods[0].code = reinterpret_cast<void*>(0x10);
  base->methods[1].code = reinterpret_cast<void*>(0x20);
  base->events[0].handler = reinterpret_cast<void*>(0x30);
  ClassRecord* derived = RuntimeNewClass(base, 3, 1, 2, 2, 1);
  rebaseline();

  const auto at = [](const void* table) { return static_cast<const char*>(table); };
  EXPECT_EQ(at(derived->methods), at(derived->interfaces) + sizeof(InterfaceEntry));
  EXPECT_EQ(at(derived->events), at(derived->methods) + 3 * sizeof(MethodEntry));
  EXPECT_EQ(at(derived->shared), at(derived->events) + 2 * sizeof(EventEntry));
  EXPECT_EQ(at(derived->properties), at(derived->shared) + 2 * sizeof(SharedMemberEntry));
  EXPECT_EQ(derived->super, base);
  EXPECT_EQ(derived->methods[1].code, reinterpret_cast<void*>(0x20));
  EXPECT_EQ(derived->methods[2].code, nullptr);
  EXPECT_EQ(derived->events[0].handler, reinterpret_cast<void*>(0x30));
  EXPECT_EQ(rt::objects::firstClass(), derived);
  EXPECT_EQ(derived->nextClass, base);
}

TEST_F(ObjectModelTest, SmallerSubclassTableIsReportedAndStillInherits) {
  ClassRecord* base = RuntimeNewClass(nullptr, 3, 0, 0, 0, 0);
  base->methods[2].code = reinterpret_cast<void*>(0x99);
  testing::internal::CaptureStdout();
  ClassRecord* derived = RuntimeNewClass(base, 3, 0, 0, 0, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(derived->methods[2].code, reinterpret_cast<void*>(0x99));

  // A smaller subclass table is reported and widened to hold every entry.
  testing::internal::CaptureStdout();
  ClassRecord* small = RuntimeNewClass(base, 1, 0, 0, 0, 0);
  const std::string report = testing::internal::GetCapturedStdout();
  rebaseline();
  EXPECT_NE(report.find("Runtime Error 4:Failed Assertion"), std::string::npos);
  EXPECT_NE(report.find("Failure Condition: out->methodCount >= base->methodCount"),
            std::string::npos);
  EXPECT_EQ(small->methodCount, 3u);
  EXPECT_EQ(small->methods[2].code, reinterpret_cast<void*>(0x99));
}

void initializeBase(RTObject*) { log().push_back("init base"); }
void initializeDerived(RTObject*) { log().push_back("init derived"); }

TEST_F(ObjectModelTest, NewObjectRunsInitializersRootFirst) {
  ClassRecord* base = makeClass(nullptr, "Base");
  base->initializer = &initializeBase;
  ClassRecord* derived = makeClass(base, "Derived");
  derived->initializer = &initializeDerived;
  rebaseline();
  const std::int64_t liveBefore = rt::objects::liveObjectCount();
  {
    rt::Object object = rt::newObject(derived);
    EXPECT_EQ(object->refCount, 1);
    EXPECT_EQ(object->cls, derived);
    EXPECT_EQ(object->methodTable, derived->methods);
    EXPECT_EQ(rt::objects::liveObjectCount(), liveBefore + 1);
  }
  EXPECT_EQ(log(), (std::vector<std::string>{"init base", "init derived"}));
  EXPECT_EQ(rt::objects::liveObjectCount(), liveBefore);
}

TEST_F(ObjectModelTest, NilClassRaisesNilObjectException) {
  try {
    rt::newObject(nullptr);
    FAIL() << "no exception";
  } catch (const rt::Exception& e) {
    EXPECT_EQ(e.className(), "NilObjectException");
  }
}

TEST_F(ObjectModelTest, CountingIgnoresNilAndUncountedObjects) {
  RuntimeLockObject(nullptr);
  RuntimeUnlockObject(nullptr);
  ClassRecord* cls = makeClass(nullptr, "Static");
  rebaseline();
  Widget staticObject{};
  staticObject.header.cls = cls;
  staticObject.header.refCount = 0;
  RuntimeLockObject(&staticObject.header);
  RuntimeUnlockObject(&staticObject.header);
  EXPECT_EQ(staticObject.header.refCount, 0);

  RTObject* object = RuntimeNewObject(cls);
  RuntimeLockUnlockObjects(object, object);
  EXPECT_EQ(object->refCount, 1);
  RuntimeUnlockObject(object);
}

TEST_F(ObjectModelTest, AnInstanceSizeBelowTheHeaderStillHoldsTheHeader) {
  ClassRecord* cls = makeClass(nullptr, "Tiny");
  rebaseline();
  for (uint32_t size : {8u, static_cast<uint32_t>(sizeof(RTObject)) - 4}) {
    cls->instanceSize = size;
    const std::int64_t bytesBefore = rt::memory::bytesInUse();
    rt::Object object = rt::newObject(cls);
    EXPECT_GE(rt::memory::bytesInUse() - bytesBefore, std::int64_t{sizeof(RTObject)}) << size;
    EXPECT_EQ(object->cls, cls) << size;
    EXPECT_EQ(object->refCount, 1) << size;
  }
}

void destroyBase(RTObject*) { log().push_back("destroy base"); }
void destroyResurrecting(RTObject* object) {
  log().push_back("destroy derived");
  RuntimeLockObject(object);
  resurrected = object;
}

TEST_F(ObjectModelTest, DestructorThatKeepsTheObjectStopsTheWalk) {
  ClassRecord* base = makeClass(nullptr, "Mortal");
  base->destructor = &destroyBase;
  ClassRecord* derived = makeClass(base, "Phoenix");
  derived->destructor = &destroyResurrecting;
  rebaseline();
  RTObject* object = RuntimeNewObject(derived);
  RuntimeUnlockObject(object);
  EXPECT_EQ(resurrected, object);
  EXPECT_EQ(object->refCount, 1);
  EXPECT_EQ(log(), std::vector<std::string>{"destroy derived"});

  derived->destructor = nullptr;
  RuntimeUnlockObject(std::exchange(resurrected, nullptr));
  EXPECT_EQ(log(), (std::vector<std::string>{"destroy derived", "destroy base"}));
}

void finalizeHolder(RTObject* object) {
  log().push_back("finalize " + std::to_string(reinterpret_cast<Widget*>(object)->value));
  RuntimeUnlockObject(reinterpret_cast<Widget*>(object)->held);
}

TEST_F(ObjectModelTest, ObjectsReleasedByAReleaseAreFreedAfterIt) {
  ClassRecord* cls = makeClass(nullptr, "Holder");
  cls->finalizer = &finalizeHolder;
  rebaseline();
  auto* first = reinterpret_cast<Widget*>(RuntimeNewObject(cls));
  auto* second = reinterpret_cast<Widget*>(RuntimeNewObject(cls));
  first->value = 1;
  second->value = 2;
  first->held = &second->header;
  RuntimeUnlockObject(&first->header);
  EXPECT_EQ(log(), (std::vector<std::string>{"finalize 1", "finalize 2"}));
}

TEST_F(ObjectModelTest, LongChainsAreReleasedWithoutRecursion) {
  ClassRecord* cls = makeClass(nullptr, "Link");
  cls->finalizer = [](RTObject* object) {
    RuntimeUnlockObject(reinterpret_cast<Widget*>(object)->held);
  };
  rebaseline();
  RTObject* head = nullptr;
  for (int i = 0; i < 200000; ++i) {
    auto* link = reinterpret_cast<Widget*>(RuntimeNewObject(cls));
    link->held = head;
    head = &link->header;
  }
  RuntimeUnlockObject(head);
}

TEST_F(ObjectModelTest, IsaFollowsSuperclassesAndInterfaces) {
  ClassRecord* base = makeClass(nullptr, "Animal");
  ClassRecord* derived = makeClass(base, "Dog");
  ClassRecord* other = makeClass(nullptr, "Rock");
  ClassRecord* iface = makeClass(nullptr, "Barker");
  iface->isInterface = 1;
  ClassRecord* withInterface = RuntimeNewClass(derived, 0, 1, 0, 0, 0);
  withInterface->instanceSize = sizeof(Widget);
  withInterface->interfaces[0].interface = iface;
  MethodEntry barkTable[1] = {{reinterpret_cast<void*>(0x77), nullptr}};
  withInterface->interfaces[0].methods = barkTable;
  rebaseline();

  rt::Object dog = rt::newObject(derived);
  rt::Object barker = rt::newObject(withInterface);
  EXPECT_FALSE(RuntimeObjectIsa(nullptr, base));
  EXPECT_TRUE(RuntimeObjectIsa(dog.get(), nullptr));
  EXPECT_TRUE(RuntimeObjectIsa(dog.get(), base));
  EXPECT_TRUE(RuntimeObjectIsa(dog.get(), derived));
  EXPECT_FALSE(RuntimeObjectIsa(dog.get(), other));
  EXPECT_FALSE(RuntimeObjectIsa(dog.get(), iface));
  EXPECT_TRUE(RuntimeObjectIsa(barker.get(), iface));

  EXPECT_EQ(RuntimeLookupInterfaceVtable(barker.get(), iface), barkTable);
  EXPECT_EQ(RuntimeLookupInterfaceVtable(dog.get(), iface), nullptr);
  EXPECT_THROW(rt::throwIfPending(), rt::Exception);
  EXPECT_EQ(RuntimeLookupInterfaceVtable(nullptr, iface), nullptr);
  EXPECT_THROW(rt::throwIfPending(), rt::Exception);
}

TEST_F(ObjectModelTest, CheckCastTakesAReferenceOrRaises) {
  ClassRecord* base = makeClass(nullptr, "Shape");
  ClassRecord* derived = makeClass(base, "Circle");
  ClassRecord* other = makeClass(nullptr, "Colour");
  rebaseline();
  rt::Object circle = rt::newObject(derived);

  EXPECT_EQ(RuntimeCheckCast(nullptr, base), nullptr);
  EXPECT_EQ(RuntimeCheckCast(circle.get(), nullptr), circle.get());
  EXPECT_EQ(circle->refCount, 1);
  rt::Object cast = rt::Object::adopt(RuntimeCheckCast(circle.get(), base));
  EXPECT_EQ(circle->refCount, 2);

  EXPECT_EQ(RuntimeCheckCast(circle.get(), other), nullptr);
  try {
    rt::throwIfPending();
    FAIL() << "no exception";
  } catch (const rt::Exception& e) {
    EXPECT_EQ(e.className(), "IllegalCastException");
  }
}

rt::EventDefinition gadgetEvents[] = {{"Ping", "", ""}, {"Pong", "", "Integer"}};
const rt::ClassDefinition gadgetDefinition{
    "TestGadget", &rt::exceptions::runtimeException, sizeof(Widget) + 32, nullptr, nullptr, {}, {},
    gadgetEvents};

TEST_F(ObjectModelTest, LookupClassConvertsBuiltInDefinitionsAndCaches) {
  rt::objects::registerClassDefinition(gadgetDefinition);
  ClassRecord* gadget = RuntimeLookupClass(rt::String("TestGadget").get());
  ASSERT_NE(gadget, nullptr);
  EXPECT_EQ(gadget, RuntimeLookupClass(rt::String("TestGadget").get()));
  EXPECT_EQ(gadget, rt::objects::classFor(gadgetDefinition));
  EXPECT_EQ(gadget->super, rt::objects::classFor(rt::exceptions::runtimeException));
  EXPECT_EQ(gadget->eventCount, 2u);
  EXPECT_EQ(gadgetEvents[1].number, 1);
  EXPECT_EQ(RuntimeLookupClass(rt::String("NoSuchClass").get()), nullptr);
  rebaseline();
}

rt::EventDefinition toolEvents[] = {{"Used", "", ""}};
const rt::ClassDefinition toolDefinition{"TestTool", nullptr, sizeof(Widget), nullptr, nullptr,
                                         {},         {},      toolEvents};

TEST_F(ObjectModelTest, ModuleClassTakesThePlaceOfABuiltInDefinition) {
  ClassRecord* compiled = RuntimeNewClass(nullptr, 0, 0, 1, 0, 0);
  compiled->name = rt::String("testtool").leak();
  compiled->instanceSize = sizeof(Widget);
  void* handler = reinterpret_cast<void*>(0x1234);
  compiled->events[0].handler = handler;
  rt::objects::registerClassDefinition(toolDefinition);
  EXPECT_EQ(rt::objects::classFor(toolDefinition), compiled);
  EXPECT_EQ(RuntimeLookupClass(rt::String("TestTool").get()), compiled);
  rebaseline();

  rt::Object tool = rt::newObject(compiled);
  EXPECT_EQ(rt::objects::lookupEvent(tool.get(), toolEvents[0]), handler);
  EXPECT_EQ(rt::objects::lookupEvent(nullptr, toolEvents[0]), nullptr);
}

const rt::MethodDefinition sprocketMethods[] = {
    {"Turn%%o<TestSprocket>", reinterpret_cast<void*>(0x55)}};
const rt::PropertyDefinition sprocketProperties[] = {{"Teeth", nullptr, nullptr, 0}};
const rt::ClassDefinition cogDefinition{"TestCog", nullptr, sizeof(Widget), nullptr, nullptr, {},
                                        {},        {}};
const rt::ClassDefinition sprocketDefinition{
    "TestSprocket", &cogDefinition,  sizeof(Widget),     nullptr,
    nullptr,        sprocketMethods, sprocketProperties, {}};

TEST_F(ObjectModelTest, BuiltInSubclassOfALargerModuleClassHasRoomForItsOwnEntries) {
  // The module's TestCog has more methods and properties than the definition.
  ClassRecord* cog = RuntimeNewClass(nullptr, 2, 0, 0, 0, 1);
  cog->name = rt::String("TestCog").leak();
  cog->instanceSize = sizeof(Widget);
  cog->methods[1].code = reinterpret_cast<void*>(0x11);
  cog->properties[0].getter = reinterpret_cast<void*>(0x22);
  testing::internal::CaptureStdout();
  ClassRecord* sprocket = rt::objects::classFor(sprocketDefinition);
  const std::string report = testing::internal::GetCapturedStdout();
  rebaseline();

  EXPECT_EQ(sprocket->super, cog);
  EXPECT_EQ(report.find("out->methodCount >= base->methodCount"), std::string::npos);
  EXPECT_EQ(report.find("out->propertyCount >= base->propertyCount"), std::string::npos);
  ASSERT_EQ(sprocket->methodCount, 3u);
  EXPECT_EQ(sprocket->methods[1].code, reinterpret_cast<void*>(0x11));
  EXPECT_EQ(sprocket->methods[2].code, reinterpret_cast<void*>(0x55));
  ASSERT_EQ(sprocket->propertyCount, 2u);
  EXPECT_EQ(sprocket->properties[0].getter, reinterpret_cast<void*>(0x22));
  EXPECT_EQ(rt::text::bytes(sprocket->properties[1].name), "Teeth");
}

TEST_F(ObjectModelTest, NewVtableIsZeroedOrNull) {
  EXPECT_EQ(RuntimeNewVtable(0), nullptr);
  static MethodEntry* table = nullptr;  // tables live for the whole process
  table = RuntimeNewVtable(4);
  ASSERT_NE(table, nullptr);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(table[i].code, nullptr);
  rebaseline();
}

}  // namespace
