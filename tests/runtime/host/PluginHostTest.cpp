// Plugins carried in the module image, loaded by real processes.
#include <gtest/gtest.h>

#include <filesystem>

#include "ProcessRunner.h"
#include "TempFolder.h"

namespace rt::test {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  return files;
}

ProcessResult runWithHome(const std::string& program, const std::string& home) {
  ProcessLaunch launch;
  launch.program = program;
  launch.arguments = {program};
  launch.environment = {{"VANTOR_PROBE", "plugin"}, {"HOME", home}};
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
  const std::string extractedName = result.out.substr(at + prefix.size(), result.out.find('\n', at) - at - prefix.size());
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
