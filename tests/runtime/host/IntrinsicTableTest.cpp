#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/FailureReport.h"
#include "host/IntrinsicTable.h"

namespace {

void first() {}
void second() {}

TEST(IntrinsicTable, StaticEntriesHaveNamesAndEntryPoints) {
  ASSERT_GT(rt::intrinsics::staticCount(), 0u);
  for (std::size_t i = 0; i < rt::intrinsics::staticCount(); ++i) {
    const IntrinsicEntry& entry = rt::intrinsics::at(i);
    ASSERT_NE(entry.name, nullptr) << "entry " << i;
    EXPECT_NE(entry.entryPoint, nullptr) << entry.name;
  }
}

// Entry points under their exact names (a lookup by name is case-sensitive):
// the core classes, start-up and shutdown, the plugin host and the console
// application (the console's own entry points are checked by its tests).
TEST(IntrinsicTable, EntryPointsAreFoundByTheirExactNames) {
  const char* const names[] = {
      // strings, classes, exceptions and arrays
      "RuntimeLockString", "RuntimeNewClass", "CreateArray", "RuntimeUBound", "rnd", "intGetter",
      "arraySetter", "RaiseNilObjectException", "RuntimeRaiseFunctionNotFoundException",
      "RuntimeLookupClass",
      // start-up and shutdown
      "RuntimeReportFailure", "RuntimePreInit", "ResolveExecutablePath", "TerminationSignalHandler",
      "LoadModuleImage", "RuntimeInit", "RuntimeInitExternalClasses",
      "RuntimeRegisterConsoleAppObject", "RuntimeRun", "RuntimeExit", "ZK_ApplicationQuit",
      "ApplicationQuit", "ApplicationNewDocument", "RuntimeUnhandledException",
      "DefaultUnhandledExceptionHandler", "getAppObject", "SystemGetCommandLine",
      "TOLVGetCommandLineForUnix", "TOLVInitStackChecker", "RuntimeStackCheck",
      // plugins
      "RuntimeAllocatePluginEntrypointsTable", "RuntimeLookupPluginEntrypoint",
      "RegisterPluginVersion", "RegisterPluginExports", "PluginRegisterClass",
      "PluginRegisterClassExtension", "PluginRegisterControl", "PluginRegisterModule",
      "PluginRegisterMethod", "PluginRegisterInterface", "PluginNewInstance",
      "PluginNewOfSameClass", "TOLVnoImplementation", "PluginRegisterBackgroundTask",
      "PluginUnregisterBackgroundTask", "TOLVBuildString", "TOLVLockString", "TOLVUnlockString",
      "StringGetCString", "StringGetPString", "TOLVConvertString", "TOLVGetStringEncoding",
      "TOLVSetStringEncoding", "TOLVLockObject", "TOLVUnlockObject", "GetEventInstance",
      "TOLVLoadGlobalMethod", "TOLVLoadObjectMethod", "TOLVGetPropValueInt",
      "TOLVGetPropValueInt64", "TOLVGetPropValueBoolean", "TOLVGetPropValueDouble",
      "TOLVGetPropValueSingle", "TOLVGetPropValueString", "TOLVGetPropValueObject",
      "TOLVGetPropValueColor", "TOLVSetPropValueInt", "TOLVSetPropValueInt64",
      "TOLVSetPropValueBoolean", "TOLVSetPropValueDouble", "TOLVSetPropValueSingle",
      "TOLVSetPropValueString", "TOLVSetPropValueObject", "TOLVSetPropValueColor",
      "TOLVGetClassMethod", "TOLVCountClassMethods", "TOLVGetClassProperty",
      "TOLVCountClassProperties", "TOLVYieldToZK", "TOLVGetStackLimit", "TOLVGetStackTop",
      "TOLVGetRuntimeVersion", "RuntimeRaiseException", "TOLVGetFontEncoding",
      // console application
      "ConsoleApplicationInitializer", "RuntimeDoEvents", "RuntimeBackgroundTask",
      "ApplicationAddPollableObject", "ApplicationRemovePollableObject", "DaemonizeApp",
      "AppSleepCurrentThread", "YieldToNextThread", "AppFolderItemGetter", "TOLVGetCurrentThread",
      "RuntimeConsolePrint", "RuntimeConsoleInput", "RuntimeEndOfLine", "RuntimeGetStdIn",
      "RuntimeGetStdOut", "RuntimeGetStdErr", "RuntimeStdInputReadLine", "RuntimeStdInputRead",
      "RuntimeStdInputEof", "RuntimeStdInputError", "RuntimeStdOutputStreamWrite",
      "RuntimeStdOutputStreamWriteLine", "RuntimeStdOutFlush", "RuntimeStdOutputError",
      "RuntimeTicks"};
  for (const char* name : names) EXPECT_NE(rt::intrinsics::lookup(name), nullptr) << name;
  EXPECT_EQ(rt::intrinsics::lookup("runtimelockstring"), nullptr);
}

TEST(IntrinsicTable, ImportsBindIgnoringCaseToTheLowestIndex) {
  const IntrinsicEntry* entry = rt::intrinsics::findIgnoringCase("runtimelockSTRING");
  ASSERT_NE(entry, nullptr);
  EXPECT_STREQ(entry->name, "RuntimeLockString");
  EXPECT_EQ(rt::intrinsics::findIgnoringCase("NoSuchFunction"), nullptr);
}

TEST(IntrinsicTable, RegistrationAppendsAndKeepsTheOldEntryOnConflict) {
  const std::size_t before = rt::intrinsics::count();
  rt::intrinsics::registerFunction("testRegisteredFunction", reinterpret_cast<void*>(&first));
  ASSERT_EQ(rt::intrinsics::count(), before + 1);
  EXPECT_STREQ(rt::intrinsics::at(before).name, "testRegisteredFunction");

  testing::internal::CaptureStdout();
  rt::intrinsics::registerFunction("testRegisteredFunction", reinterpret_cast<void*>(&first));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  testing::internal::CaptureStdout();
  rt::intrinsics::registerFunction("testRegisteredFunction", reinterpret_cast<void*>(&second));
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("../Common/relocentry"), std::string::npos);
  EXPECT_NE(report.find("Failure Condition: functionPtr == oldEntry->code"), std::string::npos);
  EXPECT_EQ(rt::intrinsics::count(), before + 1);
  EXPECT_EQ(rt::intrinsics::lookup("testRegisteredFunction"), reinterpret_cast<void*>(&first));
  EXPECT_EQ(rt::intrinsics::findIgnoringCase("TESTREGISTEREDFUNCTION")->entryPoint,
            reinterpret_cast<void*>(&first));
}

TEST(FailureReport, PrintsTheFixedFormatWithTheDescriptionOfEachNumber) {
  const std::string body =
      "\n\nPlease report what caused this error\nalong with the information below.\n\n"
      "../Common/RuntimeMain: 3290\nFailure Condition: exeFilePath\n";
  auto report = [](std::int16_t number, const char* detail) {
    testing::internal::CaptureStdout();
    RuntimeReportFailure(kFailureKindCheck, number, "../Common/RuntimeMain", 3290, "exeFilePath",
                         detail);
    return testing::internal::GetCapturedStdout();
  };
  // Failures 1 to 8 by number; any other number is unknown.
  const char* const descriptions[] = {
      "Plugin TOC Load Failure",    "Invalid Class Definition",  "Unknown Class",
      "Failed Assertion",           "Unable to Write to Handle", "Missing System Library Version",
      "Cannot Connect to Debugger", "Unhandled Exception"};
  for (std::int16_t number = 1; number <= 8; ++number) {
    EXPECT_EQ(report(number, nullptr), "Runtime Error " + std::to_string(number) + ":" +
                                           descriptions[number - 1] + body + "\n\n");
  }
  EXPECT_EQ(report(42, nullptr), "Runtime Error 42:Unknown Failure" + body + "\n\n");
  EXPECT_EQ(report(4, "more"), "Runtime Error 4:Failed Assertion" + body + "more\n\n");
}

}  // namespace
