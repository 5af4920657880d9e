// Start-up and shutdown, seen from outside: the probe executable is started
// as a real process.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "support/ProcessRunner.h"
#include "support/TempFolder.h"

namespace rt::test {
namespace {

namespace fs = std::filesystem;

ProcessResult runProbe(const std::string& mode, std::vector<std::string> arguments = {HOST_PROBE}) {
  ProcessLaunch launch;
  launch.program = HOST_PROBE;
  launch.arguments = std::move(arguments);
  launch.environment = {{"VANTOR_PROBE", mode}};
  return runProcess(launch);
}

TEST(Startup, RunResultIsTheExitCodeAndTheStatusStaysZero) {
  const ProcessResult result = runProbe("none");
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "NewDocument event\nexit=5\n");
  EXPECT_EQ(result.err, "");
}

TEST(Startup, QuitEndsRunAtOnceWithItsCode) {
  const ProcessResult result = runProbe("quit3");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "NewDocument event\nbefore quit\nexit=3\n");
  EXPECT_EQ(result.err, "");
}

TEST(Startup, UncaughtExceptionWritesTheMessageToStandardError) {
  const ProcessResult result = runProbe("raise");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "Exception Message: Index 7 is out of range\n"
            "Exception Error Number: 42\n"
            "An exception of class OutOfBoundsException was not handled.  The application must "
            "shut down.");
  EXPECT_EQ(result.out, "NewDocument event\nUnhandledException event: OutOfBoundsException\nexit=0\n");
}

TEST(Startup, SecondRunDoesNothing) {
  const ProcessResult result = runProbe("rerun");
  EXPECT_EQ(result.out, "NewDocument event\nnested run returned\nexit=5\n");
}

TEST(Startup, TerminationSignalsDestroyTheShutdownListAndEndAtOnce) {
  struct Case {
    int signalNumber;
    bool endsBySignal;  // else by status 0
  };
  for (const Case& c : {Case{SIGTERM, false}, {SIGQUIT, false}, {SIGHUP, false}, {SIGINT, true}}) {
    ProcessLaunch launch;
    launch.program = HOST_PROBE;
    launch.arguments = {HOST_PROBE};
    launch.environment = {{"VANTOR_PROBE", "wait"}};
    launch.signalMarker = "ready\n";
    launch.signalNumber = c.signalNumber;
    const ProcessResult result = runProcess(launch);
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
  ProcessLaunch launch;
  launch.program = "/bin/sh";
  launch.arguments = {"sh", "-c", "trap '' INT; exec \"$0\"", HOST_PROBE};
  launch.environment = {{"VANTOR_PROBE", "wait"}};
  launch.signalMarker = "ready\n";
  launch.signalNumber = SIGINT;
  const ProcessResult result = runProcess(launch);
  EXPECT_TRUE(result.exited);
  EXPECT_TRUE(result.out.starts_with("NewDocument event\nready\ninput ended\n")) << result.out;
}

TEST(Startup, SignalDuringShutdownDestroysEachObjectOnce) {
  struct Case {
    const char* mode;
    std::string out;
  };
  const Case cases[] = {
      {"signal-twice", "NewDocument event\nshutdown object destroyed\n"},
      {"signal-at-end", "NewDocument event\nexit=5\nshutdown object destroyed\n"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = runProbe(c.mode);
    EXPECT_TRUE(result.exited) << c.mode;
    EXPECT_EQ(result.status, 0) << c.mode;
    EXPECT_EQ(result.out, c.out) << c.mode;
    EXPECT_EQ(result.err, "") << c.mode;
  }
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
  ProcessLaunch launch;
  launch.program = folder / "tool";
  launch.arguments = {"tool", "a", "b"};
  launch.environment = {{"VANTOR_PROBE", "args"}, {"PATH", folder.path().string() + ":/usr/bin:/bin"}};
  const ProcessResult result = runProcess(launch);
  EXPECT_EQ(result.out, "ubound=3\narg0=[" + target + "]\narg1=[a]\narg2=[b]\narg3=[]\n" +
                            "command line=[" + target + " a b]\nexit=5\n");
}

TEST(Startup, PathWithSlashIsTakenUnchanged) {
  TempFolder folder;
  fs::create_symlink(fs::canonical(HOST_PROBE), folder / "tool");
  ProcessLaunch launch;
  launch.program = folder / "tool";
  launch.arguments = {"./tool", "x"};
  launch.workingDirectory = folder.path().string();
  launch.environment = {{"VANTOR_PROBE", "args"}};
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
    ProcessLaunch launch;
    launch.program = probe;
    launch.arguments = {argv0, "a"};
    launch.workingDirectory = elsewhere.path().string();
    launch.environment = {{"VANTOR_PROBE", "args"}, {"PATH", "/usr/bin:/bin"}};
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
    ProcessLaunch launch;
    launch.program = folder / "probe";
    launch.arguments = {c.argv0};
    launch.workingDirectory = canonicalFolder.string();
    launch.environment = {{"VANTOR_PROBE", "application"},
                          {"PATH", canonicalFolder.string() + ":/usr/bin:/bin"}};
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
  std::FILE* beside = std::fopen((folder / "beside.txt").c_str(), "w");
  ASSERT_NE(beside, nullptr);
  std::fclose(beside);
  ProcessLaunch launch;
  launch.program = folder / "tool";
  launch.arguments = {(canonicalFolder / "tool").string()};
  launch.workingDirectory = elsewhere.path().string();
  launch.environment = {{"VANTOR_PROBE", "relative"}};
  const ProcessResult result = runProcess(launch);
  EXPECT_EQ(result.out, "NewDocument event\nrelative=" + (canonicalFolder / "beside.txt").string() +
                            " exists=1\nexit=5\n");
}

}  // namespace
}  // namespace rt::test
