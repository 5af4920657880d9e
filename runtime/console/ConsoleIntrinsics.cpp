#include <array>

#include "console/ConsoleApi.h"
#include "console/ConsoleApplication.h"
#include "host/IntrinsicTable.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> consoleFunctions() {
  static const std::array entries{
      RT_INTRINSIC(RuntimeConsolePrint),
      RT_INTRINSIC(RuntimeConsoleInput),
      RT_INTRINSIC(RuntimeGetStdIn),
      RT_INTRINSIC(RuntimeGetStdOut),
      RT_INTRINSIC(RuntimeGetStdErr),
      RT_INTRINSIC(RuntimeStdInputReadLine),
      RT_INTRINSIC(RuntimeStdInputRead),
      RT_INTRINSIC(RuntimeStdInputEof),
      RT_INTRINSIC(RuntimeStdInputError),
      RT_INTRINSIC(RuntimeStdInputAsSocket),
      RT_INTRINSIC(RuntimeStdOutputStreamWrite),
      RT_INTRINSIC(RuntimeStdOutputStreamWriteLine),
      RT_INTRINSIC(RuntimeStdOutFlush),
      RT_INTRINSIC(RuntimeStdOutputError),
      RT_INTRINSIC(RuntimeStdOutputIsTerminal),
      RT_INTRINSIC(RuntimeStdOutputAsSocket),
      RT_INTRINSIC(RuntimeTicks),
      RT_INTRINSIC(RuntimeDoEvents),
      RT_INTRINSIC(RuntimeBackgroundTask),
      RT_INTRINSIC(AppSleepCurrentThread),
      RT_INTRINSIC(YieldToNextThread),
      RT_INTRINSIC(TOLVGetCurrentThread),
      RT_INTRINSIC(AppFolderItemGetter),
      RT_INTRINSIC(RuntimeEndOfLine),
      RT_INTRINSIC(ApplicationAddPollableObject),
      RT_INTRINSIC(ApplicationRemovePollableObject),
      RT_INTRINSIC(DaemonizeApp),
      RT_INTRINSIC(ConsoleApplicationInitializer),
  };
  return entries;
}

}  // namespace rt::intrinsics
