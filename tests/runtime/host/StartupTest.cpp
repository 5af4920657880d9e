// Start-up and shutdown, seen from outside: the probe executable is started
// as a real process.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "support/ProcessRunner.h"
#include "support/TempFolder.h"

namespace rt::test {
namespace {

namespace fs = std::filesystem;

// The probe (or a program that ends up running it) in one of its modes.
ProcessLaunch probeLaunch(const std::string& mode, const std::string& program = HOST_PROBE,
                          std::vector<std::string> arguments = {HOST_PROBE}) {
  ProcessLaunch launch;
  launch.program = program;
  launch.arguments = std::move(arguments);
  launch.environment = {{"VANTOR_PROBE", mode}};
  return launch;
}

// A probe waiting for input, sent the signal once it is ready.
ProcessLaunch signalledLaunch(int signalNumber, const std::string& program = HOST_PROBE,
                              std::vector<std::string> arguments = {HOST_PROBE}) {
  ProcessLaunch launch = probeLaunch("wait", program, std::move(arguments));
  launch.signalMarker = "ready\n";
  launch.signalNumber = signalNumber;
  return launch;
}

TEST(Startup, RunsEndWithStatusZeroAndWhatEachModePrints) {
  struct Case {
    const char* name;
    const char* mode;
    const char* out;
    const char* err = "";
  };
  const Case cases[] = {
      {"Run's result is the exit code", "none", "NewDocument event\nexit=5\n"},
      {"quit ends Run at once with its code", "quit3", "NewDocument event\nbefore quit\nexit=3\n"},
      {"a second Run does nothing", "rerun", "NewDocument event\nnested run returned\nexit=5\n"},
      {"a signal during shutdown destroys each object once", "signal-twice",
       "NewDocument event\nshutdown object destroyed\n"},
      {"a signal at the end destroys each object once", "signal-at-end",
       "NewDocument event\nexit=5\nshutdown object destroyed\n"},
      {"an uncaught exception's message goes to standard error", "raise",
       "NewDocument event\nUnhandledException event: OutOfBoundsException\nexit=0\n",
       "Exception Message: Index 7 is out of range\nException Error Number: 42\n"
       "An exception of class OutOfBoundsException was not handled.  The application must shut "
       "down."},
  };
  for (const Case& c : cases) {
    const ProcessResult result = runProcess(probeLaunch(c.mode));
    EXPECT_TRUE(result.exited) << c.name;
    EXPECT_EQ(result.status, 0) << c.name;
    EXPECT_EQ(result.out, c.out) << c.name;
    EXPECT_EQ(result.err, c.err) << c.name;
  }
}

TEST(Startup, TerminationSignalsDestroyTheShutdownListAndEndAtOnce) {
  struct Case {
    int signalNumber;
    bool endsBySignal;  // else by status 0
  };
  for (const Case& c : {Case{SIGTERM, false}, {SIGQUIT, false}, {SIGHUP, false}, {SIGINT, true}}) {
    const ProcessResult result = runProcess(signalledLaunch(c.signalNumber));
    ASSERT_FALSE(result.timedOut) << c.signalNumber;
    EXPECT_EQ(result.exited, !c.endsBySignal) << c.signalNumber;
    EXPECT_EQ(result.status, c.endsBySignal ? -1 : 0) << c.signalNumber;
    EXPECT_EQ(result.signal, c.endsBySignal ? c.signalNumber : 0) << c.signalNumber;
    EXPECT_EQ(result.out, "NewDocument event\nready\nshutdown object destroyed\n")
        << c.signalNumber;
    EXPECT_EQ(result.err, "") << c.signalNumber;
  }
}

TEST(Startup, AnInterruptIgnoredFromTheStartStaysIgnored) {
  const ProcessResult result = runProcess(
      signalledLaunch(SIGINT, "/bin/sh", {"sh", "-c", "trap '' INT; exec \"$0\"", HOST_PROBE}));
  EXPECT_TRUE(result.exited);
  EXPECT_TRUE(result.out.starts_with("NewDocument event\nready\ninput ended\n")) << result.out;
}

TEST(ProcessRunner, ChildThatClosesItsOutputIsStillHeldToTheDeadline) {
  ProcessLaunch launch;
  launch.program = "/bin/sh";
  launch.arguments = {"sh", "-c", "exec >&- 2>&-; sleep 30"};
  launch.deadline = std::chrono::seconds(1);
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult result = runProcess(launch);
  EXPECT_TRUE(result.timedOut);
  EXPECT_FALSE(result.exited);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(Startup, BareNameIsFoundOnPathThroughTheChainOfLinks) {
  TempFolder folder;
  const std::string target = fs::canonical(HOST_PROBE).string();
  fs::create_symlink(target, folder / "probe-link");
  fs::create_symlink(folder / "probe-link", folder / "tool");
  ProcessLaunch launch = probeLaunch("args", folder / "tool", {"tool", "a", "b"});
  launch.environment.emplace_back("PATH", folder.path().string() + ":/usr/bin:/bin");
  const ProcessResult result = runProcess(launch);
  EXPECT_EQ(result.out, "ubound=3\narg0=[" + target + "]\narg1=[a]\narg2=[b]\narg3=[]\n" +
                            "command line=[" + target + " a b]\nexit=5\n");
}

TEST(Startup, PathWithSlashIsTakenUnchanged) {
  TempFolder folder;
  fs::create_symlink(fs::canonical(HOST_PROBE), folder / "tool");
  ProcessLaunch launch = probeLaunch("args", folder / "tool", {"./tool", "x"});
  launch.workingDirectory = folder.path().string();
  const ProcessResult result = runProcess(launch);
  EXPECT_EQ(result.out,
            "ubound=2\narg0=[./tool]\narg1=[x]\narg2=[]\ncommand line=[./tool x]\nexit=5\n");
}

TEST(Startup, NameThatLeadsToNoFileGivesWayToTheRunningExecutable) {
  TempFolder folder;
  TempFolder elsewhere;
  const std::string probe = (fs::canonical(folder.path()) / "startup-probe").string();
  fs::copy_file(HOST_PROBE, probe);
  // A launcher passing a bare name off the search path, and a path naming no file.
  for (const std::string argv0 : {"startup-probe", "/no/such/folder/startup-probe"}) {
    ProcessLaunch launch = probeLaunch("args", probe, {argv0, "a"});
    launch.workingDirectory = elsewhere.path().string();
    launch.environment.emplace_back("PATH", "/usr/bin:/bin");
    const ProcessResult result = runProcess(launch);
    EXPECT_EQ(result.out, "ubound=2\narg0=[" + probe + "]\narg1=[a]\narg2=[]\ncommand line=[" +
                              probe + " a]\nexit=5\n")
        << argv0;
    EXPECT_EQ(result.err, "") << argv0;
  }
}

TEST(Startup, ExecutableFileIsTheProgramAsStartUpResolvedIt) {
  TempFolder folder;
  const fs::path canonicalFolder = fs::canonical(folder.path());
  fs::copy_file(HOST_PROBE, folder / "probe");
  struct Case {
    std::string argv0;
    std::string expected;
  };
  const Case cases[] = {
      {"./probe", (canonicalFolder / "./probe").string()},
      {"probe", (canonicalFolder / "probe").string()},
      {(canonicalFolder / "probe").string(), (canonicalFolder / "probe").string()},
  };
  for (const Case& c : cases) {
    ProcessLaunch launch = probeLaunch("application", folder / "probe", {c.argv0});
    launch.workingDirectory = canonicalFolder.string();
    launch.environment.emplace_back("PATH", canonicalFolder.string() + ":/usr/bin:/bin");
    const ProcessResult result = runProcess(launch);
    EXPECT_EQ(result.out, "NewDocument event\nexecutable file=" + c.expected +
                              " exists=1\ncurrent thread=nil\nexit=5\n")
        << c.argv0;
  }
}

TEST(Startup, RelativeNamesResolveBesideTheProgramNotItsLinkTarget) {
  TempFolder folder;
  TempFolder elsewhere;
  const fs::path canonicalFolder = fs::canonical(folder.path());
  fs::create_symlink(fs::canonical(HOST_PROBE), folder / "tool");
  ASSERT_TRUE(std::ofstream(folder / "beside.txt").good());
  ProcessLaunch launch =
      probeLaunch("relative", folder / "tool", {(canonicalFolder / "tool").string()});
  launch.workingDirectory = elsewhere.path().string();
  const ProcessResult result = runProcess(launch);
  EXPECT_EQ(result.out, "NewDocument event\nrelative=" + (canonicalFolder / "beside.txt").string() +
                            " exists=1\nexit=5\n");
}

}  // namespace
}  // namespace rt::test
