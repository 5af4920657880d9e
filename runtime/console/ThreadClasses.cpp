#include <array>
#include <cstddef>

#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "text/StringHandle.h"

namespace rt::console {
namespace {

template <class Function>
void* entry(Function* function) {
  return reinterpret_cast<void*>(function);
}

void finalizeSemaphore(RTObject* object) {
  auto* semaphore = reinterpret_cast<SemaphoreObject*>(object);
  delete semaphore->waiting;
  semaphore->waiting = nullptr;
}

void finalizeCriticalSection(RTObject* object) {
  auto* section = reinterpret_cast<CriticalSectionObject*>(object);
  delete section->waiting;
  section->waiting = nullptr;
}

void finalizeMutex(RTObject* object) {
  auto* mutex = reinterpret_cast<MutexObject*>(object);
  delete mutex->waiting;
  delete mutex->lockFile;
  mutex->waiting = nullptr;
  mutex->lockFile = nullptr;
}

const std::array kThreadMethods{
    MethodDefinition{"Run%%o<Thread>", entry(&threadRun)},
    MethodDefinition{"Sleep%%o<Thread>i4b", entry(&ThreadSleep)},
    MethodDefinition{"Suspend%%o<Thread>", entry(&ThreadSuspend)},
    MethodDefinition{"Resume%%o<Thread>", entry(&ThreadResume)},
    MethodDefinition{"Kill%%o<Thread>", entry(&ThreadKill)},
};

const std::array kThreadProperties{
    PropertyDefinition{"Priority", entry(&ThreadGetPriority), entry(&ThreadSetPriority), 0},
    PropertyDefinition{"StackSize", entry(&ThreadGetStackSize), entry(&ThreadSetStackSize), 0},
    PropertyDefinition{"ThreadID", entry(&ThreadGetID), nullptr, 0},
    PropertyDefinition{"State", entry(&ThreadGetState), nullptr, 0},
};

std::array threadEvents{
    EventDefinition{"Run", "", ""},
};

const std::array kSemaphoreMethods{
    MethodDefinition{"Constructor%%o<Semaphore>i4", entry(&Semaphore_Constructor)},
    MethodDefinition{"Signal%%o<Semaphore>", entry(&Semaphore_Signal)},
    MethodDefinition{"TrySignal%b%o<Semaphore>", entry(&Semaphore_TrySignal)},
    MethodDefinition{"Release%%o<Semaphore>", entry(&semaphore_release)},
};

const std::array kCriticalSectionMethods{
    MethodDefinition{"Enter%%o<CriticalSection>", entry(&criticalsection_enter)},
    MethodDefinition{"TryEnter%b%o<CriticalSection>", entry(&CriticalSection_TryEnter)},
    MethodDefinition{"Leave%%o<CriticalSection>", entry(&criticalsection_leave)},
};

const std::array kMutexMethods{
    MethodDefinition{"Constructor%%o<Mutex>s", entry(&MutexContructor)},
    MethodDefinition{"Lock%%o<Mutex>", entry(&MutexLock)},
    MethodDefinition{"TryLock%b%o<Mutex>", entry(&MutexTryLock)},
    MethodDefinition{"Unlock%%o<Mutex>", entry(&MutexUnlock)},
};

}  // namespace

EventDefinition& threadRunEvent = threadEvents[0];

const ClassDefinition threadClass{"Thread", nullptr, sizeof(ThreadObject), &ThreadInitializer,
                                  nullptr, kThreadMethods, kThreadProperties, threadEvents};
const ClassDefinition semaphoreClass{"Semaphore", nullptr, sizeof(SemaphoreObject),
                                     &SemaphoreInitializer, &finalizeSemaphore,
                                     kSemaphoreMethods, {}, {}};
const ClassDefinition criticalSectionClass{"CriticalSection", nullptr,
                                           sizeof(CriticalSectionObject),
                                           &CriticalSectionInitializer, &finalizeCriticalSection,
                                           kCriticalSectionMethods, {}, {}};
// Zero-filled at creation, a Mutex is unowned and has no lock file yet.
const ClassDefinition mutexClass{"Mutex", nullptr, sizeof(MutexObject), nullptr, &finalizeMutex,
                                 kMutexMethods, {}, {}};

void registerThreadClasses() {
  for (const ClassDefinition* definition :
       {&threadClass, &semaphoreClass, &criticalSectionClass, &mutexClass}) {
    objects::registerClassDefinition(*definition);
  }
}

void raiseWithMessage(const ClassDefinition& definition, std::int32_t errorNumber,
                      const char* message) {
  const String text(message);
  exceptions::raise(definition, errorNumber, text.get());
}

}  // namespace rt::console
