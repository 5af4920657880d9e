// Host services that can be exercised inside the test process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <variant>
#include <vector>

#include "console/Scheduler.h"
#include "host/Application.h"
#include "host/HostApi.h"
#include "host/IntrinsicTable.h"
#include "host/PluginExtraction.h"
#include "host/PluginApi.h"
#include "host/ShutdownList.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionHandle.h"
#include "support/TempFolder.h"
#include "support/RuntimeFixture.h"

namespace rt::test {
namespace {

class HostServicesTest : public RuntimeTest {
 protected:
  // Class records live for the process: build the one the test raises up front.
  static void SetUpTestSuite() { objects::classFor(exceptions::stackOverflowException); }
};

// Each frame holds a kilobyte, so the budget is used up quickly.
int recurse(int depth, std::uintptr_t& deepest) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  deepest = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  RuntimeStackCheck();
  throwIfPending();
  // The depth limit only keeps a broken check from crashing the test.
  if (depth > 100000) return depth;
  return recurse(depth + 1, deepest) + frame[0];
}

TEST_F(HostServicesTest, StackCheckRaisesStackOverflowBeforeTheBudgetIsUsedUp) {
  const auto top = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  TOLVInitStackChecker(0x40000, top);
  std::uintptr_t deepest = top;
  try {
    recurse(0, deepest);
    FAIL() << "no exception";
  } catch (const Exception& exception) {
    EXPECT_EQ(exception.className(), "StackOverflowException");
  }
  const std::uintptr_t used = top - deepest;
  EXPECT_GT(used, 0x40000u - 0x2000u - 0x1000u);
  EXPECT_LE(used, 0x40000u - 0x2000u + 0x100u);
  // A budget no later test comes near.
  TOLVInitStackChecker(UINT32_MAX, 0);
}

TEST_F(HostServicesTest, StackBoundsReachTheMainThreadRecordOnlyFromTheMainThread) {
  const console::Scheduler saved = console::scheduler();
  TOLVInitStackChecker(0x10000, 0x500000);
  EXPECT_EQ(TOLVGetStackTop(), 0x500000u);
  EXPECT_EQ(TOLVGetStackLimit(), 0x4F0000u);
  EXPECT_EQ(console::mainThreadRecord().stackTop, 0x500000u);
  EXPECT_EQ(console::mainThreadRecord().stackLimit, 0x4F0000u);

  console::Scheduler elsewhere = saved;
  elsewhere.onMainThread = [] { return false; };
  console::installScheduler(elsewhere);
  TOLVInitStackChecker(0x1000, 0x900000);
  console::installScheduler(saved);
  EXPECT_EQ(TOLVGetStackLimit(), 0x8FF000u);
  EXPECT_EQ(console::mainThreadRecord().stackTop, 0x500000u);
  EXPECT_EQ(console::mainThreadRecord().stackLimit, 0x4F0000u);
  TOLVInitStackChecker(UINT32_MAX, 0);
}

TEST_F(HostServicesTest, AKilledThreadsEndLeavesLaterQuitsWorking) {
  Object ending = newObject(objects::classFor(exceptions::threadEndException));
  DefaultUnhandledExceptionHandler(ending.get());
  EXPECT_FALSE(host::application().inUnhandledHandler);
  EXPECT_FALSE(host::application().quitRequested);
}

TEST_F(HostServicesTest, PluginCallbacksAnswerAsPluginsExpect) {
  EXPECT_EQ(RuntimeAllocatePluginEntrypointsTable(0), nullptr);
  void** table = RuntimeAllocatePluginEntrypointsTable(3);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table[2], nullptr);
  std::free(table);
  EXPECT_EQ(TOLVGetFontEncoding("System"), 0x08000100u);
  EXPECT_EQ(GetEventInstance(nullptr, nullptr), nullptr);
  EXPECT_EQ(PluginNewInstance("NoSuchClass"), nullptr);
  EXPECT_EQ(TOLVLoadObjectMethod(nullptr, "Anything"), nullptr);
  EXPECT_EQ(TOLVCountClassMethods(nullptr), 0);
  EXPECT_EQ(TOLVGetClassProperty(nullptr, 0, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(HostServicesTest, RegistrationsOutsideAPluginsMainAreReportedAndIgnored) {
  PluginModuleDefinition module{1, "Stray", nullptr, 0, nullptr, 0, nullptr, 0};
  PluginMethod method{reinterpret_cast<void*>(&TOLVGetRuntimeVersion), 0, "Stray()", 0};
  PluginClassExtensionDefinition extension{1, "Stray", &method, 1, nullptr, 0};
  testing::internal::CaptureStdout();
  PluginRegisterModule(&module);
  PluginRegisterMethod(&method);
  PluginRegisterClassExtension(&extension);
  const std::string report = testing::internal::GetCapturedStdout();
  const std::string condition = "Failure Condition: gCurrentLoadingPlugin && definition\n";
  int reports = 0;
  for (std::size_t at = report.find(condition); at != std::string::npos; at = report.find(condition, at + 1)) {
    ++reports;
  }
  EXPECT_EQ(reports, 3) << report;
  EXPECT_EQ(TOLVLoadGlobalMethod("Stray", "Stray"), nullptr);
  EXPECT_EQ(TOLVLoadGlobalMethod(nullptr, "Stray"), nullptr);
}

TEST_F(HostServicesTest, UnimplementedPluginMethodRaisesFunctionNotFound) {
  objects::classFor(exceptions::functionNotFoundException);
  rebaseline();
  TOLVnoImplementation();
  try {
    throwIfPending();
    FAIL() << "no exception";
  } catch (const Exception& exception) {
    EXPECT_EQ(exception.className(), "FunctionNotFoundException");
  }
}

TEST_F(HostServicesTest, ShutdownListDestroysNewestFirstAndForgetsDeletedObjects) {
  struct Recorded : host::ShutdownObject {
    Recorded(std::vector<int>& log, int id) : log(log), id(id) {}
    ~Recorded() override { log.push_back(id); }
    std::vector<int>& log;
    int id;
  };
  std::vector<int> log;
  new Recorded(log, 1);
  auto* second = new Recorded(log, 2);
  new Recorded(log, 3);
  delete second;
  host::destroyShutdownList();
  EXPECT_EQ(log, (std::vector<int>{2, 3, 1}));
  host::destroyShutdownList();
  EXPECT_EQ(log.size(), 3u);
}

// Daemonizing closes every low descriptor, the extracted plugin's too; the
// number may then belong to another file when the runtime shuts down.
TEST_F(HostServicesTest, ShutdownClosesOnlyTheExtractedFilesOwnDescriptor) {
  TempFolder home;
  const char* savedHome = std::getenv("HOME");
  const std::string previousHome = savedHome != nullptr ? savedHome : "";
  setenv("HOME", home.path().c_str(), 1);
  const unsigned char library[] = {1, 2, 3};
  const auto extracted = host::extractPlugin("libStale.so", library);
  if (savedHome != nullptr) setenv("HOME", previousHome.c_str(), 1);
  else unsetenv("HOME");
  ASSERT_TRUE(std::holds_alternative<host::ExtractedFile>(extracted));
  const host::ExtractedFile& file = std::get<host::ExtractedFile>(extracted);
  close(file.lockedDescriptor);
  const int other = open(home.path().c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(other, file.lockedDescriptor);
  host::destroyShutdownList();
  EXPECT_NE(fcntl(other, F_GETFD), -1) << "another file's descriptor was closed";
  EXPECT_NE(access(file.path.c_str(), F_OK), 0) << "the extracted file remains";
  close(other);
}

}  // namespace
}  // namespace rt::test
