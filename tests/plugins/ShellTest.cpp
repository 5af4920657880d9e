#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "PluginHarness.h"
#include "support/RuntimeFixture.h"
#include "text/Encodings.h"
#include "text/StringHandle.h"

namespace {

using vantor::test::FakeObject;
using vantor::test::pluginClass;
using vantor::test::pluginRecord;

constexpr int32_t kSynchronous = 0;
constexpr int32_t kAsynchronous = 1;
constexpr int32_t kInteractive = 2;

using ObjectFunction = void (*)(PluginObject);
using StringFunction = void (*)(PluginObject, PluginString);
using TwoStringFunction = void (*)(PluginObject, PluginString, PluginString);
using StringResultFunction = PluginString (*)(PluginObject);
using GetterFunction = PluginString (*)(PluginObject, intptr_t);
using SetterFunction = void (*)(PluginObject, intptr_t, int32_t);

pid_t testProcess = 0;
char foreignSignalReport[PATH_MAX];

// Leaves a mark in the report file whenever it runs in a process other than
// the test process, that is in a shell's child before it runs bash.
extern "C" void markForeignSignal(int) {
  if (getpid() == testProcess) return;
  const int report = open(foreignSignalReport, O_WRONLY | O_APPEND);
  if (report < 0) return;
  [[maybe_unused]] const ssize_t written = write(report, "x", 1);
  close(report);
}

// Peek at a child without reaping it.
bool childEnded(pid_t child) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == child;
}

bool childReaped(pid_t child) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) != 0 &&
         errno == ECHILD;
}

std::vector<pid_t> childrenOf(const std::string& childrenFile) {
  std::ifstream in(childrenFile);
  std::vector<pid_t> pids;
  for (pid_t pid; in >> pid;) pids.push_back(pid);
  return pids;
}

// Sends SIGUSR1 to the children of the thread that made it, over and over,
// until destroyed: a child that has not yet replaced itself with bash gets it.
class ChildSignaller {
 public:
  ChildSignaller()
      : childrenFile_("/proc/self/task/" + std::to_string(gettid()) + "/children"),
        thread_([this] { run(); }) {}
  ~ChildSignaller() {
    stop_ = true;
    thread_.join();
  }
  ChildSignaller(const ChildSignaller&) = delete;
  ChildSignaller& operator=(const ChildSignaller&) = delete;

 private:
  void run() {
    sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &usr1, nullptr);
    while (!stop_) {
      for (const pid_t pid : childrenOf(childrenFile_)) {
        // The process descriptor pins the process: when the number still
        // names a child after it is open, the signal cannot reach a stranger
        // that reused the number.
        const int process = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
        if (process < 0) continue;
        if (std::ranges::count(childrenOf(childrenFile_), pid) != 0) {
          syscall(SYS_pidfd_send_signal, process, SIGUSR1, nullptr, 0);
        }
        close(process);
      }
    }
  }

  std::string childrenFile_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class ShellTest : public rt::test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    vantor::test::enterPlugin();
  }

  static PluginClassDefinition& shellClass() { return pluginClass("Shell"); }

  template <class Function>
  static Function method(std::string_view declaration) {
    const PluginClassDefinition& definition = shellClass();
    for (intptr_t i = 0; i < definition.methodCount; ++i) {
      if (declaration == definition.methods[i].declaration) {
        return reinterpret_cast<Function>(definition.methods[i].function);
      }
    }
    ADD_FAILURE() << "no method " << declaration;
    return nullptr;
  }

  static const PluginProperty& property(std::string_view name) {
    const PluginClassDefinition& definition = shellClass();
    for (intptr_t i = 0; i < definition.propertyCount; ++i) {
      if (name == definition.properties[i].name) return definition.properties[i];
    }
    throw std::out_of_range("no property");
  }

  // Reads a field property the way the runtime's field getters do.
  static int32_t field(const FakeObject& shell, std::string_view name) {
    const PluginProperty& record = property(name);
    EXPECT_EQ(record.getter, kPluginFieldAccess) << name;
    if (std::string_view(record.type) == "Boolean") {
      return static_cast<int8_t>(*shell.field(record.parameter));
    }
    int32_t value;
    std::memcpy(&value, shell.field(record.parameter), sizeof value);
    return value;
  }

  static void setMode(FakeObject& shell, int32_t mode) {
    const PluginProperty& record = property("Mode");
    reinterpret_cast<SetterFunction>(record.setter)(shell.get(), record.parameter, mode);
  }

  static std::string result(FakeObject& shell) {
    const PluginProperty& record = property("Result");
    return rt::String::adopt(static_cast<RTString>(
                                 reinterpret_cast<GetterFunction>(record.getter)(shell.get(), 0)))
        .str();
  }

  static void execute(FakeObject& shell, const rt::String& command) {
    method<StringFunction>("Execute(command as String)")(shell.get(), command.get());
  }

  static std::string readAll(FakeObject& shell) {
    return rt::String::adopt(static_cast<RTString>(
                                 method<StringResultFunction>("ReadAll() as String")(shell.get())))
        .str();
  }

  static const std::vector<std::string>& events(FakeObject& shell) {
    return pluginRecord().events[shell.get()];
  }

  // Waits until done() holds, false after 10 s; meanwhile runs the background
  // tasks as event processing would, unless told not to.
  static bool waitUntil(const std::function<bool()>& done, bool serveTasks = true) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      if (serveTasks) {
        for (const auto& [id, task] : std::map(pluginRecord().tasks)) task.task(task.data);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  // Serves the background tasks until the child's output has ended.
  static bool serveUntilCompleted(FakeObject& shell) {
    return waitUntil([&] { return !events(shell).empty() && events(shell).back() == "Completed"; });
  }

  // All the output of a command in the given mode.
  static std::string run(int32_t mode, const rt::String& command) {
    FakeObject shell(shellClass());
    setMode(shell, mode);
    execute(shell, command);
    if (mode == kSynchronous) return result(shell);
    EXPECT_TRUE(serveUntilCompleted(shell)) << command.str();
    return readAll(shell);
  }
};

TEST_F(ShellTest, RegistersThreeConsoleClassesAtVersion9) {
  const auto& record = pluginRecord();
  EXPECT_EQ(record.version, 9);
  const std::vector<std::pair<std::string, const char*>> expected{
      {"ShellNotRunningException", "RuntimeException"},
      {"ShellNotAvailableException", "RuntimeException"},
      {"Shell", nullptr},
  };
  ASSERT_EQ(record.classes.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const PluginClassDefinition& definition = *record.classes[i];
    EXPECT_EQ(definition.version, 9);
    EXPECT_EQ(definition.name, expected[i].first);
    EXPECT_STREQ(definition.superName, expected[i].second) << definition.name;
    EXPECT_TRUE(definition.flags & kPluginClassConsoleSafe) << definition.name;
  }
  EXPECT_GE(shellClass().dataSize, 60);
}

TEST_F(ShellTest, MembersGiveTheEntryNamesCompiledCodeLooksUp) {
  const PluginClassDefinition& definition = shellClass();
  std::set<std::string> entries;
  const std::string prefix = std::string(definition.name) + ".";
  if (definition.constructor != nullptr) entries.insert(prefix + "__init");
  if (definition.destructor != nullptr) entries.insert(prefix + "__exit");
  for (intptr_t i = 0; i < definition.methodCount; ++i) {
    EXPECT_EQ(definition.methods[i].flags, 4);
    entries.insert(prefix + definition.methods[i].declaration);
  }
  for (intptr_t i = 0; i < definition.propertyCount; ++i) {
    const PluginProperty& record = definition.properties[i];
    if (record.getter != nullptr && record.getter != kPluginFieldAccess) {
      entries.insert(prefix + record.name + ".Get");
    }
    if (record.setter != nullptr && record.setter != kPluginFieldAccess) {
      entries.insert(prefix + record.name + ".Set");
    }
  }
  for (intptr_t i = 0; i < definition.eventCount; ++i) {
    const std::string declaration = definition.events[i].declaration;
    entries.insert(prefix + "Events." + declaration.substr(0, declaration.find('(')));
  }
  const std::set<std::string> expected{"Shell.__init",
                                       "Shell.__exit",
                                       "Shell.Execute(command as String)",
                                       "Shell.Execute(command as String, parameters as String)",
                                       "Shell.ReadAll() as String",
                                       "Shell.Write(s as String)",
                                       "Shell.WriteLine(s as String)",
                                       "Shell.Close",
                                       "Shell.Poll",
                                       "Shell.Result.Get",
                                       "Shell.Mode.Set",
                                       "Shell.Events.DataAvailable",
                                       "Shell.Events.Completed"};
  EXPECT_EQ(entries, expected);

  // The runtime picks its field accessor by the type name.
  EXPECT_STREQ(property("IsRunning").type, "Boolean");
  EXPECT_STREQ(property("PID").type, "Integer");
  EXPECT_EQ(property("TimeOut").setter, kPluginFieldAccess);
}

TEST_F(ShellTest, ConstructorSetsDefaultsAndRegistersPollTask) {
  {
    FakeObject shell(shellClass());
    EXPECT_EQ(field(shell, "TimeOut"), 2000);
    EXPECT_EQ(field(shell, "Mode"), kSynchronous);
    EXPECT_EQ(field(shell, "IsRunning"), 0);
    EXPECT_EQ(field(shell, "PID"), 0);
    EXPECT_EQ(result(shell), "");
    ASSERT_EQ(pluginRecord().tasks.size(), 1u);
    EXPECT_EQ(pluginRecord().tasks.begin()->second.period, 10);
    EXPECT_EQ(pluginRecord().tasks.begin()->second.data, shell.get());
  }
  EXPECT_TRUE(pluginRecord().tasks.empty());
}

TEST_F(ShellTest, CollectsMergedOutputOfChildrenWithOnlyStandardDescriptors) {
  // A descriptor the child must not inherit; descriptor 3 is ls's own, on the listed folder.
  const int spare = open("/dev/null", O_RDONLY);
  ASSERT_GE(spare, 0);
  ASSERT_EQ(dup2(spare, 200), 200);
  const struct {
    int32_t mode;
    const char* command;
    const char* output;
  } cases[] = {
      {kSynchronous, "printf 'one\\ntwo\\n'", "one\ntwo\n"},
      {kAsynchronous, "printf 'one\\ntwo\\n'", "one\ntwo\n"},
      {kInteractive, "printf 'one\\ntwo\\n'", "one\r\ntwo\r\n"},
      {kSynchronous, "echo out; echo err >&2", "out\nerr\n"},
      {kAsynchronous, "echo out; echo err >&2", "out\nerr\n"},
      {kSynchronous, "", ""},
      {kSynchronous, "ls /proc/self/fd", "0\n1\n2\n3\n"},
      {kAsynchronous, "ls /proc/self/fd", "0\n1\n2\n3\n"},
      {kInteractive, "ls /proc/self/fd | cat", "0\r\n1\r\n2\r\n3\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run(c.mode, c.command), c.output) << "mode " << c.mode << ": " << c.command;
  }
  close(200);
  close(spare);
}

TEST_F(ShellTest, ExitStatusBecomesErrorCode) {
  // bash's message for a missing command is translated under other locales; it always names
  // the command.
  const struct {
    const char* command;
    int32_t status;
    const char* resultNames;
  } cases[] = {
      {"true", 0, ""}, {"exit 3", 3, ""}, {"nosuchcommand_vantor", 127, "nosuchcommand_vantor"}};
  for (const auto& c : cases) {
    FakeObject shell(shellClass());
    execute(shell, c.command);
    EXPECT_EQ(field(shell, "ErrorCode"), c.status) << c.command;
    EXPECT_EQ(field(shell, "IsRunning"), 0) << c.command;
    EXPECT_NE(result(shell).find(c.resultNames), std::string::npos) << c.command;
  }
}

TEST_F(ShellTest, ParametersFollowTheCommandAfterOneBlank) {
  const auto executeWith =
      method<TwoStringFunction>("Execute(command as String, parameters as String)");
  FakeObject shell(shellClass());
  executeWith(shell.get(), rt::String("printf '%s' 'a").get(), rt::String("b'").get());
  EXPECT_EQ(result(shell), "a b");
  // Also shows that a second Execute replaces Result.
  executeWith(shell.get(), rt::String("printf '%s' a").get(), nullptr);
  EXPECT_EQ(result(shell), "a");
}

TEST_F(ShellTest, CommandLineIsConvertedToTheSystemFontEncoding) {
  EXPECT_EQ(run(kSynchronous, "printf '%s' café.txt"), "café.txt");
  EXPECT_EQ(pluginRecord().fontNamesAsked, std::vector<std::string>{"System"});
  EXPECT_EQ(pluginRecord().conversionTargets, std::vector<uint32_t>{kEncodingUTF8});

  vantor::test::enterPlugin(false);
  EXPECT_EQ(run(kSynchronous, "echo plain"), "plain\n");
  EXPECT_EQ(pluginRecord().conversionTargets, std::vector<uint32_t>{kEncodingMacRoman});
}

TEST_F(ShellTest, WithoutDescriptorsLeftNoShellIsAvailable) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  const std::pair<int32_t, const char*> cases[] = {{kSynchronous, "No shell available"},
                                                   {kAsynchronous, "No shell available"},
                                                   {kInteractive, ""}};
  for (const auto& [mode, text] : cases) {
    FakeObject shell(shellClass());
    setMode(shell, mode);
    // Not dup(0): standard input may be closed when the tests run.
    const int lowest = open("/dev/null", O_RDONLY);
    ASSERT_GE(lowest, 0);
    close(lowest);
    rlimit none = saved;
    none.rlim_cur = static_cast<rlim_t>(lowest);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    execute(shell, "echo unreachable");
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_EQ(field(shell, "ErrorCode"), -1) << "mode " << mode;
    EXPECT_EQ(result(shell), text) << "mode " << mode;
    EXPECT_EQ(field(shell, "IsRunning"), 0) << "mode " << mode;
  }
}

TEST_F(ShellTest, AsynchronousOutputArrivesThroughPollEvents) {
  FakeObject shell(shellClass());
  setMode(shell, kAsynchronous);
  execute(shell, "echo a; echo b");
  EXPECT_EQ(field(shell, "ErrorCode"), 0);
  EXPECT_EQ(field(shell, "IsRunning"), 1);
  EXPECT_GT(field(shell, "PID"), 0);
  ASSERT_TRUE(serveUntilCompleted(shell));
  const auto& raised = events(shell);
  ASSERT_GE(raised.size(), 2u);
  for (std::size_t i = 0; i + 1 < raised.size(); ++i) EXPECT_EQ(raised[i], "DataAvailable");
  EXPECT_EQ(readAll(shell), "a\nb\n");
  EXPECT_EQ(readAll(shell), "");
  EXPECT_EQ(result(shell), "");
  EXPECT_EQ(field(shell, "IsRunning"), 0);
  EXPECT_EQ(field(shell, "PID"), 0);
}

TEST_F(ShellTest, WriteReachesInteractiveChildWithoutEcho) {
  FakeObject shell(shellClass());
  setMode(shell, kInteractive);
  execute(shell, "read line; echo \"got $line\"");
  method<StringFunction>("Write(s as String)")(shell.get(), rt::String("ab").get());
  method<StringFunction>("WriteLine(s as String)")(shell.get(), rt::String("c").get());
  ASSERT_TRUE(serveUntilCompleted(shell));
  EXPECT_EQ(readAll(shell), "got abc\r\n");
}

TEST_F(ShellTest, ModeChangesOnlyToKnownModesWhileIdle) {
  FakeObject shell(shellClass());
  const std::pair<int32_t, int32_t> settings[] = {
      {kAsynchronous, kAsynchronous}, {5, kAsynchronous},           {-1, kAsynchronous},
      {kInteractive, kInteractive},   {kSynchronous, kSynchronous}, {kInteractive, kInteractive}};
  for (const auto& [value, expected] : settings) {
    setMode(shell, value);
    EXPECT_EQ(field(shell, "Mode"), expected) << "set " << value;
  }
  execute(shell, "cat");
  setMode(shell, kSynchronous);
  EXPECT_EQ(field(shell, "Mode"), kInteractive);

  method<ObjectFunction>("Close")(shell.get());
  EXPECT_EQ(field(shell, "IsRunning"), 0);
  EXPECT_EQ(field(shell, "PID"), 0);
  method<ObjectFunction>("Poll")(shell.get());
  EXPECT_TRUE(events(shell).empty());
  setMode(shell, kSynchronous);
  EXPECT_EQ(field(shell, "Mode"), kSynchronous);
}

TEST_F(ShellTest, CloseTakesTheExitStatusOfAnEndedChild) {
  for (const int32_t mode : {kAsynchronous, kInteractive}) {
    FakeObject shell(shellClass());
    setMode(shell, mode);
    execute(shell, "exit 3");
    const pid_t child = field(shell, "PID");
    // No background task runs meanwhile: Close itself must find the ended child.
    ASSERT_TRUE(waitUntil([child] { return childEnded(child); }, false)) << "mode " << mode;
    method<ObjectFunction>("Close")(shell.get());
    EXPECT_EQ(field(shell, "ErrorCode"), 3) << "mode " << mode;
    EXPECT_EQ(field(shell, "IsRunning"), 0) << "mode " << mode;
  }
}

TEST_F(ShellTest, BackgroundTaskReapsAChildThatOutlivesItsOutput) {
  FakeObject shell(shellClass());
  setMode(shell, kAsynchronous);
  execute(shell, "exec >&- 2>&-; sleep 0.2");
  const pid_t child = field(shell, "PID");
  ASSERT_TRUE(serveUntilCompleted(shell));
  EXPECT_TRUE(waitUntil([child] { return childReaped(child); }))
      << "child " << child << " left a zombie";
}

TEST_F(ShellTest, ChildrenNeverRunTheParentsSignalHandlers) {
  testProcess = getpid();
  const std::string report = ::testing::TempDir() + "foreign-signal-XXXXXX";
  std::strncpy(foreignSignalReport, report.c_str(), sizeof foreignSignalReport - 1);
  const int reportFile = mkstemp(foreignSignalReport);
  ASSERT_GE(reportFile, 0);
  close(reportFile);
  struct sigaction marking {};
  marking.sa_handler = &markForeignSignal;
  sigemptyset(&marking.sa_mask);
  struct sigaction saved {};
  ASSERT_EQ(sigaction(SIGUSR1, &marking, &saved), 0);
  {
    const ChildSignaller signaller;
    for (int i = 0; i < 200; ++i) {
      FakeObject shell(shellClass());
      setMode(shell, i % 2 == 0 ? kSynchronous : kInteractive);
      execute(shell, "true");
    }
  }
  sigaction(SIGUSR1, &saved, nullptr);
  struct stat status {};
  ASSERT_EQ(stat(foreignSignalReport, &status), 0);
  EXPECT_EQ(status.st_size, 0) << "a parent's handler ran in a child";
  unlink(foreignSignalReport);
}

}  // namespace
