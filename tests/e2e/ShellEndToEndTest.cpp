// The real shell plugin, carried as a module resource, extracted, loaded and
// entered by the runtime's plugin host, then driven the way compiled code
// drives it: through the plugin entry table, the class's properties and event
// processing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ModuleImageWriter.h"
#include "console/ConsoleApi.h"
#include "host/CommandLine.h"
#include "host/PluginApi.h"
#include "host/PluginLoader.h"
#include "host/ResourceTable.h"
#include "objects/ObjectHandle.h"
#include "support/RuntimeFixture.h"
#include "support/TempFolder.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringHandle.h"
#include "text/StringStorage.h"

namespace {

namespace fs = std::filesystem;

using ExecuteEntry = void (*)(RTObject*, RTString);
using StringGetterEntry = RTString (*)(RTObject*, intptr_t);
using StringMethodEntry = RTString (*)(RTObject*);
using ObjectEntry = void (*)(RTObject*);

constexpr std::int32_t kAsynchronous = 1;

// The program's folder and HOME of this process: empty, so the plugin is
// extracted from its resource rather than found beside the program.
const fs::path& scratchFolder() {
  static const rt::test::TempFolder folder;
  return folder.path();
}

// A resources part holding one plugin record, as the packer writes it.
std::vector<std::uint8_t> pluginResourcePart() {
  const auto record =
      vantor::tools::pluginResource("libZKShell.so", vantor::tools::readFile(SHELL_PLUGIN_PATH));
  std::vector<std::uint8_t> part;
  auto append = [&part](auto value) {
    for (std::size_t i = 0; i < sizeof value; ++i)
      part.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  append(rt::host::kPluginResourceType);
  append(std::uint16_t{128});
  append(std::uint32_t{0});
  append(static_cast<std::uint32_t>(record.size()));
  part.insert(part.end(), record.begin(), record.end());
  return part;
}

// Once per process, after the runtime's own classes exist: the plugin's
// classes derive from RuntimeException.
void loadShellPlugin() {
  static bool loaded = false;
  if (loaded) return;
  loaded = true;
  setenv("HOME", scratchFolder().c_str(), 1);
  static std::string program = scratchFolder() / "vantor";
  static char* arguments[] = {program.data(), nullptr};
  rt::host::setCommandLine(1, arguments);
  static const std::vector<std::uint8_t> part = pluginResourcePart();
  rt::host::resourceTable().registerResources(part, 0);
  rt::host::loadPlugins();
}

int dataAvailableEvents = 0;
int completedEvents = 0;

void onDataAvailable(RTObject*) { ++dataAvailableEvents; }
void onCompleted(RTObject*) { ++completedEvents; }

// A subclass of Shell whose class installs handlers for both events, as a
// compiled subclass does.
ClassRecord* watchedShellClass() {
  static ClassRecord* const watched = [] {
    ClassRecord* shell = RuntimeLookupClass(rt::String("Shell").get());
    ClassRecord* cls =
        RuntimeNewClass(shell, shell->methodCount, 0, shell->eventCount, 0, shell->propertyCount);
    cls->name = rt::text::makeString("WatchedShell", kEncodingUTF8);
    cls->instanceSize = shell->instanceSize;
    // The events in the order the class declares them.
    cls->events[0].handler = reinterpret_cast<void*>(&onDataAvailable);
    cls->events[1].handler = reinterpret_cast<void*>(&onCompleted);
    return cls;
  }();
  return watched;
}

class ShellEndToEnd : public rt::test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    loadShellPlugin();
    ASSERT_NE(RuntimeLookupClass(rt::String("Shell").get()), nullptr);
    watchedShellClass();
    rebaseline();
  }

  template <class Function>
  static Function entry(const char* name) {
    const auto function =
        reinterpret_cast<Function>(RuntimeLookupPluginEntrypoint(rt::String(name).get()));
    EXPECT_NE(function, nullptr) << name;
    return function;
  }

  static std::int32_t intProperty(const rt::Object& shell, const char* name) {
    std::int32_t value = -12345;
    EXPECT_TRUE(TOLVGetPropValueInt(shell.get(), name, &value)) << name;
    return value;
  }

  static bool isRunning(const rt::Object& shell) {
    std::uint8_t value = 2;
    EXPECT_TRUE(TOLVGetPropValueBoolean(shell.get(), "IsRunning", &value));
    return value != 0;
  }
};

TEST_F(ShellEndToEnd, ExtractsThePluginAndRegistersItsClasses) {
  std::vector<std::string> extracted;
  for (const auto& item : fs::directory_iterator(scratchFolder() / ".tmpAppData")) {
    extracted.push_back(item.path().filename());
  }
  ASSERT_EQ(extracted.size(), 1u);
  EXPECT_TRUE(extracted[0].ends_with("_libZKShell.so")) << extracted[0];

  ClassRecord* runtimeException = RuntimeLookupClass(rt::String("RuntimeException").get());
  ASSERT_NE(runtimeException, nullptr);
  for (const char* name : {"ShellNotRunningException", "ShellNotAvailableException"}) {
    const ClassRecord* cls = RuntimeLookupClass(rt::String(name).get());
    ASSERT_NE(cls, nullptr) << name;
    EXPECT_EQ(cls->super, runtimeException) << name;
  }
  EXPECT_EQ(RuntimeLookupClass(rt::String("Shell").get())->super, nullptr);
}

TEST_F(ShellEndToEnd, SynchronousExecuteThroughTheEntryTable) {
  const auto execute = entry<ExecuteEntry>("Shell.Execute(command as String)");
  const auto resultGetter = entry<StringGetterEntry>("Shell.Result.Get");
  const auto close = entry<ObjectEntry>("Shell.Close");
  ASSERT_TRUE(execute && resultGetter && close);

  rt::Object shell =
      rt::Object::adopt(RuntimeNewObject(RuntimeLookupClass(rt::String("Shell").get())));
  ASSERT_NE(shell.get(), nullptr);
  EXPECT_EQ(intProperty(shell, "TimeOut"), 2000);
  execute(shell.get(), rt::String("echo hello; exit 3").get());
  const rt::String result = rt::String::adopt(resultGetter(shell.get(), 0));
  EXPECT_EQ(result.str(), "hello\n");
  EXPECT_EQ(TOLVGetStringEncoding(result.get()), kEncodingUnknown);
  EXPECT_EQ(intProperty(shell, "ErrorCode"), 3);
  EXPECT_FALSE(isRunning(shell));
  EXPECT_EQ(intProperty(shell, "PID"), 0);
  // Nothing is attached, so Close leaves the exit status.
  close(shell.get());
  EXPECT_EQ(intProperty(shell, "ErrorCode"), 3);
}

TEST_F(ShellEndToEnd, EventProcessingPollsAnAsynchronousShellUntilCompleted) {
  const auto execute = entry<ExecuteEntry>("Shell.Execute(command as String)");
  const auto readAll = entry<StringMethodEntry>("Shell.ReadAll() as String");
  const auto close = entry<ObjectEntry>("Shell.Close");
  ASSERT_TRUE(execute && readAll && close);

  rt::Object shell = rt::Object::adopt(RuntimeNewObject(watchedShellClass()));
  ASSERT_TRUE(TOLVSetPropValueInt(shell.get(), "Mode", kAsynchronous));
  EXPECT_EQ(intProperty(shell, "Mode"), kAsynchronous);
  dataAvailableEvents = 0;
  completedEvents = 0;
  execute(shell.get(), rt::String("echo hello; exit 3").get());
  EXPECT_EQ(intProperty(shell, "ErrorCode"), 0);
  EXPECT_TRUE(isRunning(shell));
  EXPECT_GT(intProperty(shell, "PID"), 0);
  // Output is gathered only by event processing.
  EXPECT_EQ(dataAvailableEvents + completedEvents, 0);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (completedEvents == 0 && std::chrono::steady_clock::now() < deadline) {
    RuntimeDoEvents(nullptr, 5);
  }
  ASSERT_EQ(completedEvents, 1) << "Completed never fired";
  EXPECT_GE(dataAvailableEvents, 1);
  EXPECT_EQ(rt::String::adopt(readAll(shell.get())).str(), "hello\n");
  EXPECT_FALSE(isRunning(shell));
  EXPECT_EQ(intProperty(shell, "PID"), 0);
  // Ended: further passes raise nothing.
  RuntimeDoEvents(nullptr, 0);
  EXPECT_EQ(completedEvents, 1);
  close(shell.get());
}

}  // namespace
