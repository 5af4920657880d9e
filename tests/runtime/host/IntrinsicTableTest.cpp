#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/FailureReport.h"
#include "host/IntrinsicTable.h"

namespace {

void first() {}
void second() {}

TEST(IntrinsicTable, StaticEntriesHaveNamesAndAreFoundByName) {
  ASSERT_GT(rt::intrinsics::staticCount(), 0u);
  for (std::size_t i = 0; i < rt::intrinsics::staticCount(); ++i) {
    const IntrinsicEntry& entry = rt::intrinsics::at(i);
    ASSERT_NE(entry.name, nullptr) << "entry " << i;
    EXPECT_NE(entry.entryPoint, nullptr) << entry.name;
  }
  for (const char* name : {"RuntimeLockString", "RuntimeNewClass", "RuntimeRaiseException",
                           "CreateArray", "RuntimeUBound", "rnd", "RuntimeReportFailure",
                           "TOLVBuildString", "intGetter", "arraySetter", "RaiseNilObjectException",
                           "RuntimeRaiseFunctionNotFoundException", "RuntimeLookupClass"}) {
    EXPECT_NE(rt::intrinsics::lookup(name), nullptr) << name;
  }
  EXPECT_EQ(rt::intrinsics::lookup("runtimelockstring"), nullptr);
}

// Every entry point of start-up and shutdown, the plugin host and the console
// application, under its exact name. The conversions of the standard streams
// to sockets (RuntimeStdInputAsSocket, RuntimeStdOutputAsSocket) wait for the
// networking classes.
TEST(IntrinsicTable, StartupPluginAndConsoleEntryPointsAreListed) {
  const char* const names[] = {
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

struct ReportCase {
  int16_t number;
  const char* detail;
  const char* expected;
};

TEST(FailureReport, PrintsTheFixedFormat) {
  const ReportCase cases[] = {
      {4, "more", "Runtime Error 4:Failed Assertion\n\nPlease report what caused this error\n"
                  "along with the information below.\n\n../Common/RuntimeMain: 3290\n"
                  "Failure Condition: exeFilePath\nmore\n\n"},
      {1, nullptr, "Runtime Error 1:Plugin TOC Load Failure\n\nPlease report what caused this error\n"
                   "along with the information below.\n\n../Common/RuntimeMain: 3290\n"
                   "Failure Condition: exeFilePath\n\n\n"},
      {42, nullptr, "Runtime Error 42:Unknown Failure\n\nPlease report what caused this error\n"
                    "along with the information below.\n\n../Common/RuntimeMain: 3290\n"
                    "Failure Condition: exeFilePath\n\n\n"},
  };
  for (const ReportCase& c : cases) {
    testing::internal::CaptureStdout();
    RuntimeReportFailure(kFailureKindCheck, c.number, "../Common/RuntimeMain", 3290, "exeFilePath", c.detail);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.expected) << "failure " << c.number;
  }
  const char* descriptions[] = {"Plugin TOC Load Failure", "Invalid Class Definition", "Unknown Class",
                                "Failed Assertion", "Unable to Write to Handle", nullptr,
                                "Cannot Connect to Debugger", "Unhandled Exception"};
  for (int16_t number = 1; number <= 8; ++number) {
    if (descriptions[number - 1] == nullptr) continue;
    testing::internal::CaptureStdout();
    RuntimeReportFailure(kFailureKindCheck, number, "f", 1, "c", "d");
    const std::string expected = "Runtime Error " + std::to_string(number) + ":" + descriptions[number - 1] + "\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout().substr(0, expected.size()), expected);
  }
}

}  // namespace
