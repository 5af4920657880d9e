// Plugins carried in the module image, loaded by real processes: the probe
// plugin for loading, the callback plugin for what plugins reach.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/ProcessRunner.h"
#include "support/TempFolder.h"

namespace rt::test {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  return files;
}

ProcessResult runWithHome(const std::string& program, const std::string& home,
                          const std::string& mode = "plugin") {
  ProcessLaunch launch;
  launch.program = program;
  launch.arguments = {program};
  launch.environment = {{"VANTOR_PROBE", mode}, {"HOME", home}};
  return runProcess(launch);
}

TEST(PluginHost, ExtractsEntersAndRemovesTheEmbeddedPlugin) {
  TempFolder home;
  const ProcessResult result = runWithHome(HOST_PROBE_PLUGIN, home.path().string());
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string extractedFolder = home / ".tmpAppData";
  const std::string prefix = "loaded from=" + extractedFolder + "/";
  const std::size_t at = result.out.find(prefix);
  ASSERT_NE(at, std::string::npos) << result.out;
  const std::string extractedName =
      result.out.substr(at + prefix.size(), result.out.find('\n', at) - at - prefix.size());
  EXPECT_EQ(extractedName.size(), 7 + std::string("_libProbePlugin.so").size());
  EXPECT_EQ(extractedName.substr(7), "_libProbePlugin.so");

  EXPECT_NE(result.out.find("plugin main (embedded)\n"), std::string::npos);
  EXPECT_NE(result.out.find("twice=42\nloaded from="), std::string::npos);
  EXPECT_NE(result.out.find("underscore=null\n"), std::string::npos);
  EXPECT_NE(result.out.find("can't find plugin method ProbeGadget.Missing"), std::string::npos);
  EXPECT_NE(result.out.find("missing=null\ncounter=7\ngadget destroyed\n"), std::string::npos);
  EXPECT_TRUE(filesIn(extractedFolder).empty()) << "extracted files remain";
}

TEST(PluginHost, ExtractsToTmpWithoutUsableHome) {
  const ProcessResult result = runWithHome(HOST_PROBE_PLUGIN, "/nonexistent/home");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("loaded from=/tmp/"), std::string::npos) << result.out;
}

TEST(PluginHost, LibraryBesideTheExecutableWins) {
  TempFolder folder;
  TempFolder home;
  fs::copy_file(HOST_PROBE_PLUGIN, folder / "probe");
  fs::copy_file(BESIDE_PLUGIN, folder / "libProbePlugin.so");
  const ProcessResult result = runWithHome(folder / "probe", home.path().string());
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("plugin main (beside)\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("loaded from=" + folder / "libProbePlugin.so\n"), std::string::npos);
  EXPECT_TRUE(filesIn(home / ".tmpAppData").empty());
}

// The probe calls the entries of each kind of record, then CallbackTools.Exercise()
// drives the callbacks.
TEST(PluginHost, RecordsGetEntriesAndCallbacksReachObjectsMethodsPropertiesAndServices) {
  TempFolder home;
  const ProcessResult result = runWithHome(HOST_PROBE_CALLBACKS, home.path().string(), "callbacks");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "NewDocument event\ncontrol press=99\ncontrol class=set\ndescribe=widget 7\n"
            "summary=widget 7\ntriple=15\nanswer=42\nquadruple=20\n"
            "Runtime Error 4:Failed Assertion\n\nPlease report what caused this error\n"
            "along with the information below.\n\n../Common/plugin: 93\n"
            "Failure Condition: pluginEntryTable.GetEntry( entrypointName, out )\n"
            "can't find plugin method CallbackWidget.Missing()\n\nunimplemented=null\n"
            "new instance count=7\nnew unknown class=0\nsame class count=7\nsame class of nil=0\n"
            "object method twice=42\nobject method by name=1\nextension method=1\n"
            "unimplemented method=0\nunknown method=0\nmodule method=63\nglobal method=84\n"
            "method of unknown module=0\nInt count set=1 get=1 value=41\n"
            "Int64 Big set=1 get=1 value=1099511627779\nBoolean Flag set=1 get=1 value=1 stored=1\n"
            "Double Ratio set=1 get=1 value=2.5\nSingle Scale set=1 get=1 value=0.25\n"
            "Color Tint set=1 get=1 value=ff8040\nString Label set=1 get=1 value=label text\n"
            "Object Link set=1 get=1 value is self=1\nInt Doubled set=1 get=1 value=10 count=5\n"
            "extension property got=1 value=widget 5\nstring of integer field=0\n"
            "double into integer field=0\nunknown property=0\nproperty of nil=0\n"
            "CallbackWidget methods=2 properties=9: Twice%% Missing%% Count Tint Big Ratio Scale "
            "Flag Label Link Doubled past end=0\n"
            "CallbackShape methods=1 properties=0: Area%% past end=0\nyield passes=1\n"
            "stack budget=262144\nruntime version=9\nexport resolves=1\nexit=5\n");
}

TEST(PluginHost, BrokenPluginIsFatalWithStatusOne) {
  TempFolder home;
  const ProcessResult result = runWithHome(HOST_PROBE_BROKEN, home.path().string());
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.status, 1);
  const std::string fatal =
      "The application cannot continue because a needed file cannot be installed. ";
  EXPECT_EQ(result.err.rfind(fatal, 0), 0u) << result.err;
  EXPECT_EQ(result.err.back(), '\n');
  EXPECT_EQ(result.out.find("exit="), std::string::npos);
  EXPECT_TRUE(filesIn(home / ".tmpAppData").empty());
}

}  // namespace
}  // namespace rt::test
