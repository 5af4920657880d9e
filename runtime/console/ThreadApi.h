// Entry points of cooperative threads and their locks: the Thread,
// Semaphore, CriticalSection and Mutex classes. Arguments are borrowed; a nil
// object raises NilObjectException. YieldToNextThread and TOLVGetCurrentThread
// are in ConsoleApi.h.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Thread.Run: starts the thread on an operating-system thread of its own and
// lets it run; raises ThreadAlreadyRunningException when it runs already.
void threadRun(RTObject* thread);
// Sleeps the thread (yielding when it is the current one); wakeEarly lets the
// scheduler wake it before its time.
void ThreadSleep(RTObject* thread, int32_t milliseconds, uint8_t wakeEarly);
void ThreadSuspend(RTObject* thread);
void ThreadResume(RTObject* thread);
// Ends the thread: at once when it is the current one, otherwise by
// ThreadEndException when it next resumes, yielding until it has ended.
void ThreadKill(RTObject* thread);
int32_t ThreadGetPriority(RTObject* thread);
// Values below 1 are ignored.
void ThreadSetPriority(RTObject* thread, int32_t priority);
int32_t ThreadGetStackSize(RTObject* thread);
// Raises ThreadAlreadyRunningException while the thread runs.
void ThreadSetStackSize(RTObject* thread, int32_t size);
// The address of the thread's scheduler record; 0 when it does not run.
intptr_t ThreadGetID(RTObject* thread);
// Running 0, Waiting 1, Suspended 2, Sleeping 3 or NotRunning 4.
int32_t ThreadGetState(RTObject* thread);
// Sets the priority of a new Thread object to 5.
void ThreadInitializer(RTObject* thread);

// Both counts of a new Semaphore are 1.
void SemaphoreInitializer(RTObject* semaphore);
// Raises "Illegal initialCount for the Semaphore." (error 1) below 1.
void Semaphore_Constructor(RTObject* semaphore, int32_t initialCount);
// Takes one unit, waiting in line while none is left.
void Semaphore_Signal(RTObject* semaphore);
uint8_t Semaphore_TrySignal(RTObject* semaphore);
// Gives one unit back; beyond the initial count raises "Called
// Semaphore.Release too many times.".
void semaphore_release(RTObject* semaphore);

void CriticalSectionInitializer(RTObject* section);
// Re-entrant by its owner; other threads wait in line.
void criticalsection_enter(RTObject* section);
uint8_t CriticalSection_TryEnter(RTObject* section);
// Raises error 2 when the current thread does not own the section.
void criticalsection_leave(RTObject* section);

// Opens the lock file named by name in the temporary folder (a new unique
// file for ""), which makes the mutex exclusive between processes too.
void MutexContructor(RTObject* mutex, RTString name);
void MutexLock(RTObject* mutex);
uint8_t MutexTryLock(RTObject* mutex);
// Raises error 3 when the current thread does not own the mutex.
void MutexUnlock(RTObject* mutex);

#ifdef __cplusplus
}
#endif
