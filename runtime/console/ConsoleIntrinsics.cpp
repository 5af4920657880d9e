#include <array>

#include "console/ConsoleApi.h"
#include "console/ConsoleApplication.h"
#include "console/ThreadApi.h"
#include "console/TimerApi.h"
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
      RT_INTRINSIC(threadRun),
      RT_INTRINSIC(ThreadSleep),
      RT_INTRINSIC(ThreadSuspend),
      RT_INTRINSIC(ThreadResume),
      RT_INTRINSIC(ThreadKill),
      RT_INTRINSIC(ThreadGetPriority),
      RT_INTRINSIC(ThreadSetPriority),
      RT_INTRINSIC(ThreadGetStackSize),
      RT_INTRINSIC(ThreadSetStackSize),
      RT_INTRINSIC(ThreadGetID),
      RT_INTRINSIC(ThreadGetState),
      RT_INTRINSIC(ThreadInitializer),
      RT_INTRINSIC(SemaphoreInitializer),
      RT_INTRINSIC(Semaphore_Constructor),
      RT_INTRINSIC(Semaphore_Signal),
      RT_INTRINSIC(Semaphore_TrySignal),
      RT_INTRINSIC(semaphore_release),
      RT_INTRINSIC(CriticalSectionInitializer),
      RT_INTRINSIC(criticalsection_enter),
      RT_INTRINSIC(CriticalSection_TryEnter),
      RT_INTRINSIC(criticalsection_leave),
      RT_INTRINSIC(MutexContructor),
      RT_INTRINSIC(MutexLock),
      RT_INTRINSIC(MutexTryLock),
      RT_INTRINSIC(MutexUnlock),
      RT_INTRINSIC(RuntimeTimerConstructor),
      RT_INTRINSIC(RuntimeTimerDestructor),
      RT_INTRINSIC(TimerEnabledSetter),
      RT_INTRINSIC(timerModeSetter),
      RT_INTRINSIC(timerPeriodSetter),
      RT_INTRINSIC(RuntimeTimerReset),
      RT_INTRINSIC(TimerAddActionNotificationReceiver),
      RT_INTRINSIC(TimerRemoveActionNotificationReceiver),
  };
  return entries;
}

}  // namespace rt::intrinsics
