#include "Shell.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "RuntimeCallbacks.h"
#include "ShellClasses.h"

namespace vantor::shell {
namespace {

constexpr int32_t kDefaultTimeOut = 2000;
constexpr intptr_t kPollPeriod = 10;
constexpr std::size_t kReadChunk = 512;
constexpr char kNoShellText[] = "No shell available";

// Shells with an attached asynchronous or interactive child; Poll serves only these.
std::vector<PluginObject>& runningShells() {
  static std::vector<PluginObject> shells;
  return shells;
}

bool isRunningShell(PluginObject object) {
  const auto& shells = runningShells();
  return std::find(shells.begin(), shells.end(), object) != shells.end();
}

// The periodic task also reaps children that outlived their output, so an
// idle program keeps no zombies.
void pollTask(void* object) {
  reapEndedChildren();
  shellPoll(object);
}

void appendOutput(ShellData& data, const char* bytes, std::size_t count) {
  const std::size_t length = static_cast<std::size_t>(data.outputLength);
  auto* grown = static_cast<char*>(std::realloc(data.outputBuffer, length + count));
  if (grown == nullptr) return;
  std::memcpy(grown + length, bytes, count);
  data.outputBuffer = grown;
  data.outputLength = static_cast<int32_t>(length + count);
}

void dropOutput(ShellData& data) {
  std::free(data.outputBuffer);
  data.outputBuffer = nullptr;
  data.outputLength = 0;
}

void setNoShellResult(ShellData& data) {
  data.result = buildString(kNoShellText, sizeof kNoShellText - 1);
}

int32_t executeSynchronously(ShellData& data, const std::string& commandLine) {
  const auto child = startPiped(commandLine);
  if (!child) {
    setNoShellResult(data);
    return -1;
  }
  const std::string output = readToEnd(child->outputDescriptor);
  close(child->outputDescriptor);
  const int32_t status = waitForExitStatus(child->pid);
  data.result = buildString(output.data(), output.size());
  return status;
}

int32_t attachChild(PluginObject object, ShellData& data, const std::optional<Child>& child) {
  if (!child) return -1;
  data.pid = child->pid;
  data.outputDescriptor = child->outputDescriptor;
  runningShells().push_back(object);
  return 0;
}

void execute(PluginObject object, const std::string& commandLine) {
  ShellData& data = shellData(object);
  unlockString(data.result);
  data.result = nullptr;
  shellClose(object);
  dropOutput(data);
  data.isRunning = true;
  switch (data.mode) {
    case kModeAsynchronous:
      data.errorCode = attachChild(object, data, startPiped(commandLine));
      if (data.errorCode != 0) setNoShellResult(data);
      break;
    case kModeInteractive:
      data.errorCode = attachChild(object, data, startOnPseudoTerminal(commandLine));
      break;
    default:
      data.errorCode = executeSynchronously(data, commandLine);
      break;
  }
  // Only an attached child keeps the shell running; otherwise Mode could never change again.
  data.isRunning = data.outputDescriptor != -1;
}

}  // namespace

void shellConstructor(PluginObject object) {
  ShellData& data = shellData(object);
  data.timeOut = kDefaultTimeOut;
  data.result = nullptr;
  data.outputDescriptor = -1;
  data.isRunning = false;
  data.pid = 0;
  data.outputBuffer = nullptr;
  data.outputLength = 0;
  data.backgroundTask = registerBackgroundTask(&pollTask, kPollPeriod, object);
}

void shellDestructor(PluginObject object) {
  ShellData& data = shellData(object);
  if (data.backgroundTask != 0) unregisterBackgroundTask(data.backgroundTask);
  data.backgroundTask = 0;
  shellClose(object);
  dropOutput(data);
  unlockString(data.result);
  data.result = nullptr;
}

void shellExecute(PluginObject object, PluginString command) {
  execute(object, commandLineBytes(command));
}

void shellExecuteWithParameters(PluginObject object, PluginString command, PluginString parameters) {
  std::string commandLine = commandLineBytes(command);
  const std::string parameterText = commandLineBytes(parameters);
  if (!parameterText.empty()) {
    commandLine += ' ';
    commandLine += parameterText;
  }
  execute(object, commandLine);
}

PluginString shellReadAll(PluginObject object) {
  ShellData& data = shellData(object);
  PluginString output = buildString(data.outputBuffer, static_cast<std::size_t>(data.outputLength));
  dropOutput(data);
  return output;
}

void shellWrite(PluginObject object, PluginString s) {
  const ShellData& data = shellData(object);
  if (data.outputDescriptor == -1) return;
  const std::string bytes = stringBytes(s);
  writeAll(data.outputDescriptor, bytes.data(), bytes.size());
}

void shellWriteLine(PluginObject object, PluginString s) {
  shellWrite(object, s);
  const ShellData& data = shellData(object);
  if (data.outputDescriptor != -1) writeAll(data.outputDescriptor, "\n", 1);
}

void shellClose(PluginObject object) {
  std::erase(runningShells(), object);
  ShellData& data = shellData(object);
  if (data.outputDescriptor != -1) {
    close(data.outputDescriptor);
    data.errorCode = reapWithoutBlocking(data.pid);
  }
  data.outputDescriptor = -1;
  data.pid = 0;
  data.isRunning = false;
}

void shellPoll(PluginObject object) {
  if (!isRunningShell(object)) return;
  ShellData& data = shellData(object);
  // poll rather than select: descriptors above FD_SETSIZE are valid here.
  pollfd waiting{data.outputDescriptor, POLLIN, 0};
  if (poll(&waiting, 1, 0) <= 0) return;
  char chunk[kReadChunk];
  ssize_t count;
  do {
    count = read(data.outputDescriptor, chunk, sizeof chunk);
  } while (count < 0 && errno == EINTR);
  if (count > 0) {
    appendOutput(data, chunk, static_cast<std::size_t>(count));
    raiseEvent(object, dataAvailableEvent());
  } else {
    shellClose(object);
    raiseEvent(object, completedEvent());
  }
}

PluginString shellResultGetter(PluginObject object, intptr_t) {
  PluginString result = shellData(object).result;
  lockString(result);
  return result;
}

void shellModeSetter(PluginObject object, intptr_t, int32_t value) {
  ShellData& data = shellData(object);
  if (data.isRunning) return;
  if (value == kModeSynchronous || value == kModeAsynchronous || value == kModeInteractive) {
    data.mode = value;
  }
}

}  // namespace vantor::shell
