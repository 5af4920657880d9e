// The built-in classes of cooperative threads and their locks: the layouts of
// their objects (fields follow the object header in this order) and their
// class definitions.
//
// Invariants:
//  - A Thread object's record is set from Run until the thread has ended.
//  - A lock's owner and waiting threads are scheduler records; a lock holds
//    no reference to the threads.
#pragma once

#include <cstdint>

#include "console/LockFile.h"
#include "console/ThreadRecord.h"
#include "console/WaitQueue.h"
#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::console {

struct ThreadObject {
  RTObject header;
  ThreadRecord* record;  // null when the thread does not run; also its ID
  std::int32_t stackSize;  // 0 or less: the default size
  std::int32_t priority;
};

struct SemaphoreObject {
  RTObject header;
  std::int32_t maximum;
  std::int32_t available;  // below 0: the number of threads waiting
  WaitQueue* waiting;  // made on first use
};

struct CriticalSectionObject {
  RTObject header;
  std::int32_t count;
  ThreadRecord* owner;
  WaitQueue* waiting;
};

// A CriticalSection's fields and the lock file.
struct MutexObject {
  RTObject header;
  std::int32_t count;
  ThreadRecord* owner;
  WaitQueue* waiting;
  LockFile* lockFile;  // null before the constructor, or when it cannot be opened
};

// The values of Thread.State and Thread.Priority, as the class constants name them.
enum class ThreadState : std::int32_t {
  Running = 0,
  Waiting = 1,
  Suspended = 2,
  Sleeping = 3,
  NotRunning = 4,
};
inline constexpr std::int32_t kLowestPriority = 1;
inline constexpr std::int32_t kHighPriority = 10;

// The stack of a thread whose StackSize is 0 or less.
inline constexpr std::int32_t kDefaultStackSize = 65536;

extern const ClassDefinition threadClass;
extern const ClassDefinition semaphoreClass;
extern const ClassDefinition criticalSectionClass;
extern const ClassDefinition mutexClass;

// Thread: Run, raised on the thread's own operating-system thread.
extern EventDefinition& threadRunEvent;
using ThreadRunHandler = void (*)(RTObject* thread);

// Makes the classes known by name; part of the start-up registration.
void registerThreadClasses();

// Ends every thread that has a Thread object, except the current one.
void killOtherThreads();

// Raises a new exception of the class with the error number and the message.
void raiseWithMessage(const ClassDefinition& definition, std::int32_t errorNumber,
                      const char* message);

}  // namespace rt::console
