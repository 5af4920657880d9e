#include <gtest/gtest.h>

#include <string>

#include "host/IntrinsicTable.h"
#include "objects/ArrayApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "objects/ExceptionHandle.h"
#include "support/RuntimeFixture.h"
#include "text/StringHandle.h"

namespace {

class ExceptionsTest : public rt::test::RuntimeTest {};

rt::Exception caught() {
  try {
    rt::throwIfPending();
  } catch (const rt::Exception& e) {
    return e;
  }
  throw std::runtime_error("no exception was pending");
}

TEST_F(ExceptionsTest, RaisersPendTheirClassAndTheHandleLayerThrowsIt) {
  struct Case {
    void (*raise)();
    const char* className;
  };
  for (const Case& c : {Case{RaiseNilObjectException, "NilObjectException"},
                        Case{RaiseOutOfBoundsException, "OutOfBoundsException"},
                        Case{RaiseIllegalCastException, "IllegalCastException"}}) {
    c.raise();
    ASSERT_NE(rt::exceptions::pending(), nullptr) << c.className;
    rt::Exception e = caught();
    EXPECT_EQ(e.className(), c.className);
    EXPECT_TRUE(e.isA(rt::exceptions::runtimeException));
    EXPECT_EQ(e.errorNumber(), 0);
    EXPECT_EQ(e.message(), "");
    EXPECT_EQ(rt::exceptions::pending(), nullptr);
  }
}

TEST_F(ExceptionsTest, FunctionNotFoundNamesFunctionAndLibrary) {
  RuntimeRaiseFunctionNotFoundException(rt::String("frob").get(), rt::String("libfoo.so").get());
  rt::Exception e = caught();
  EXPECT_EQ(e.className(), "FunctionNotFoundException");
  EXPECT_EQ(e.message(), "Could not load frob from libfoo.so");
}

TEST_F(ExceptionsTest, RaiseWithNumberAndMessage) {
  rt::exceptions::raise(rt::exceptions::endException, 42, rt::String("bye").get());
  rt::Exception e = caught();
  EXPECT_TRUE(e.isA(rt::exceptions::endException));
  EXPECT_FALSE(e.isA(rt::exceptions::nilObjectException));
  EXPECT_EQ(e.errorNumber(), 42);
  EXPECT_EQ(e.message(), "bye");
  EXPECT_STREQ(e.what(), "EndException: bye");
}

TEST_F(ExceptionsTest, NilIsIgnoredAndALaterRaiseReplacesThePendingOne) {
  RuntimeRaiseException(nullptr);
  RuntimeReraiseException(nullptr);
  EXPECT_EQ(rt::exceptions::pending(), nullptr);
  RaiseNilObjectException();
  RaiseOutOfBoundsException();
  EXPECT_EQ(caught().className(), "OutOfBoundsException");
}

TEST_F(ExceptionsTest, RaiseEmptiesTheStackAndReraiseKeepsIt) {
  rt::Object exception = rt::newObject(rt::objects::classFor(rt::exceptions::runtimeException));
  RTArray* stack = RuntimeExceptionStack(exception.get());
  EXPECT_EQ(RuntimeUBound(stack), -1);
  using Insert = void (*)(RTArray*, int32_t, RTString);
  reinterpret_cast<Insert>(stack->methods->slots[kArraySlotInsert])(stack, 0, rt::String("Run").get());
  RuntimeReraiseException(exception.get());
  EXPECT_EQ(RuntimeUBound(stack), 0);
  RuntimeUnlockObject(rt::exceptions::take());
  RuntimeRaiseException(exception.get());
  EXPECT_EQ(RuntimeUBound(stack), -1);
  RuntimeUnlockArray(stack);
  EXPECT_EQ(caught().object(), exception);
}

TEST_F(ExceptionsTest, EveryBuiltInExceptionClassIsARuntimeException) {
  const ClassRecord* root = rt::objects::classFor(rt::exceptions::runtimeException);
  EXPECT_EQ(rt::exceptions::allDefinitions().size(), 20u);
  for (const rt::ClassDefinition* definition : rt::exceptions::allDefinitions()) {
    ClassRecord* cls = RuntimeLookupClass(rt::String(definition->name).get());
    ASSERT_NE(cls, nullptr) << definition->name;
    EXPECT_TRUE(cls == root || cls->super == root) << definition->name;
    EXPECT_EQ(cls->propertyCount, 2u) << definition->name;
  }
  // Compiled subclasses chain to the runtime's hooks by name.
  EXPECT_EQ(reinterpret_cast<void*>(root->initializer), rt::intrinsics::lookup("RuntimeExceptionInitializer"));
  EXPECT_EQ(reinterpret_cast<void*>(root->finalizer), rt::intrinsics::lookup("RuntimeExceptionFinalizer"));
  EXPECT_NE(root->initializer, nullptr);
  rebaseline();
}

RTObject* seenByHook = nullptr;

TEST_F(ExceptionsTest, UnhandledGoesToTheHookOrIsReported) {
  rt::Object exception = rt::newObject(rt::objects::classFor(rt::exceptions::runtimeException));
  testing::internal::CaptureStdout();
  RuntimeUnhandledException(exception.get());
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("Runtime Error 4:Failed Assertion"), std::string::npos);
  EXPECT_NE(report.find("../Common/Object Model/RuntimeExceptionFoundation"), std::string::npos);
  EXPECT_NE(report.find("Failure Condition: 0\n"), std::string::npos);

  rt::exceptions::setUnhandledExceptionHook([](RTObject* e) { seenByHook = e; });
  RuntimeUnhandledException(exception.get());
  rt::exceptions::setUnhandledExceptionHook(nullptr);
  EXPECT_EQ(seenByHook, exception.get());
}

}  // namespace
