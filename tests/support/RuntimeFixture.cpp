#include "support/RuntimeFixture.h"

#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "objects/ObjectModel.h"
#include "text/SmallBlockAllocator.h"

namespace rt::test {
namespace {

// Class records live for the whole process; building them once up front keeps
// them out of every test's allocation balance.
class RuntimeEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    exceptions::registerExceptionClasses();
    for (const ClassDefinition* definition : exceptions::allDefinitions()) {
      objects::classFor(*definition);
    }
  }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);

}  // namespace

void RuntimeTest::SetUp() {
  bytesAtStart_ = memory::bytesInUse();
  objectsAtStart_ = objects::liveObjectCount();
}

void RuntimeTest::rebaseline() { RuntimeTest::SetUp(); }

void RuntimeTest::TearDown() {
  RTObject* leftOver = exceptions::take();
  EXPECT_EQ(leftOver, nullptr) << "an exception was left pending";
  RuntimeUnlockObject(leftOver);
  EXPECT_EQ(objects::liveObjectCount(), objectsAtStart_) << "objects leaked";
  EXPECT_EQ(memory::bytesInUse(), bytesAtStart_) << "bytes leaked";
}

}  // namespace rt::test
