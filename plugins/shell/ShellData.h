// Per-object data of a Shell, zeroed by the runtime when the object is made.
// Fields read by the runtime directly (ErrorCode, TimeOut, Mode, IsRunning,
// PID) are addressed by their offsets in the property records.
#pragma once

#include <cstdint>

#include "PluginSdk.h"

namespace vantor::shell {

enum ShellMode : int32_t {
  kModeSynchronous = 0,
  kModeAsynchronous = 1,
  kModeInteractive = 2,
};

struct ShellData {
  int32_t errorCode;
  int32_t timeOut;
  int32_t mode;
  bool isRunning;
  int32_t outputDescriptor;  // pipe read end or pseudo-terminal master; -1 when none
  char* outputBuffer;        // gathered asynchronous or interactive output (malloc'd)
  int32_t outputLength;
  PluginString result;
  intptr_t backgroundTask;
  int32_t pid;
};

}  // namespace vantor::shell
