// Semaphore, CriticalSection and Mutex between cooperative threads, and the
// Mutex's lock file between processes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ThreadTestSupport.h"
#include "console/ConsoleApi.h"
#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionHandle.h"
#include "text/StringHandle.h"

namespace rt::test {
namespace {

using console::ThreadState;

constexpr std::int32_t state(ThreadState s) { return static_cast<std::int32_t>(s); }

Object newLock(const ClassDefinition& definition) {
  return newObject(objects::classFor(definition));
}

Object newSemaphore(std::int32_t initialCount) {
  Object semaphore = newLock(console::semaphoreClass);
  Semaphore_Constructor(semaphore.get(), initialCount);
  throwIfPending();
  return semaphore;
}

Object newMutex(const std::string& name) {
  Object mutex = newLock(console::mutexClass);
  MutexContructor(mutex.get(), String(name).get());
  throwIfPending();
  return mutex;
}

// Expects the pending exception to be a RuntimeException with this number and message.
void expectMisuse(std::int32_t errorNumber, const std::string& message) {
  try {
    throwIfPending();
    ADD_FAILURE() << "no exception for " << message;
  } catch (const Exception& e) {
    EXPECT_EQ(e.className(), "RuntimeException");
    EXPECT_EQ(e.errorNumber(), errorNumber);
    EXPECT_EQ(e.message(), message);
  }
}

// A lock file name of this test process alone; the file is removed at the end.
class LockFileName {
 public:
  LockFileName() {
    static int serial = 0;
    name_ = "vantor-lock-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
  }
  ~LockFileName() { unlink((console::temporaryFolder() + "/" + name_).c_str()); }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

class LocksTest : public ThreadTest {};

TEST_F(LocksTest, ASemaphoreOfTwoLetsTwoThreadsPassAndQueuesTheThird) {
  Object semaphore = newSemaphore(2);
  std::vector<std::string> passed;
  auto signaller = [&](const std::string& name) {
    return makeThread([&passed, &semaphore, name] {
      Semaphore_Signal(semaphore.get());
      throwIfPending();
      passed.push_back(name);
    });
  };
  Object a = signaller("a"), b = signaller("b"), c = signaller("c");
  for (const Object* thread : {&a, &b, &c}) run(*thread);
  EXPECT_EQ(passed, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(stateOf(c), state(ThreadState::Waiting));
  semaphore_release(semaphore.get());
  throwIfPending();
  finish(c);
  EXPECT_EQ(passed, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_FALSE(Semaphore_TrySignal(semaphore.get()));
}

TEST_F(LocksTest, ReleasingMoreOftenThanSignalledRaisesAndKeepsTheMaximum) {
  Object semaphore = newSemaphore(2);
  EXPECT_TRUE(Semaphore_TrySignal(semaphore.get()));
  semaphore_release(semaphore.get());
  throwIfPending();
  semaphore_release(semaphore.get());
  expectMisuse(0, "Called Semaphore.Release too many times.");
  EXPECT_TRUE(Semaphore_TrySignal(semaphore.get()));
  EXPECT_TRUE(Semaphore_TrySignal(semaphore.get()));
  EXPECT_FALSE(Semaphore_TrySignal(semaphore.get()));
}

TEST_F(LocksTest, ASemaphoreStartsWithOneUnitAndRefusesAnInitialCountBelowOne) {
  Object semaphore = newLock(console::semaphoreClass);
  for (std::int32_t count : {0, -5}) {
    Semaphore_Constructor(semaphore.get(), count);
    expectMisuse(1, "Illegal initialCount for the Semaphore.");
  }
  EXPECT_TRUE(Semaphore_TrySignal(semaphore.get()));
  EXPECT_FALSE(Semaphore_TrySignal(semaphore.get()));
}

TEST_F(LocksTest, AThreadKilledWhileWaitingLeavesTheLineAndGivesBackItsClaim) {
  Object semaphore = newSemaphore(1);
  ASSERT_TRUE(Semaphore_TrySignal(semaphore.get()));
  bool passed = false;
  Object waiter = makeThread([&] {
    Semaphore_Signal(semaphore.get());
    throwIfPending();
    passed = true;
  });
  run(waiter);
  ASSERT_EQ(stateOf(waiter), state(ThreadState::Waiting));
  ThreadKill(waiter.get());
  EXPECT_EQ(stateOf(waiter), state(ThreadState::NotRunning));
  EXPECT_FALSE(passed);
  semaphore_release(semaphore.get());
  throwIfPending();
  EXPECT_TRUE(Semaphore_TrySignal(semaphore.get())) << "nobody waits, so the unit is free";
}

TEST_F(LocksTest, ACriticalSectionEnteredTwiceNeedsTwoLeaves) {
  Object section = newLock(console::criticalSectionClass);
  criticalsection_enter(section.get());
  criticalsection_enter(section.get());
  bool entered = false;
  Object other = makeThread([&] {
    EXPECT_FALSE(CriticalSection_TryEnter(section.get()));
    criticalsection_enter(section.get());
    entered = true;
    criticalsection_leave(section.get());
    throwIfPending();
  });
  run(other);
  EXPECT_EQ(stateOf(other), state(ThreadState::Waiting));
  criticalsection_leave(section.get());
  throwIfPending();
  YieldToNextThread();
  EXPECT_FALSE(entered);
  criticalsection_leave(section.get());
  throwIfPending();
  finish(other);
  EXPECT_TRUE(entered);
  EXPECT_TRUE(CriticalSection_TryEnter(section.get()));
  criticalsection_leave(section.get());
  throwIfPending();
}

TEST_F(LocksTest, OnlyTheOwnerMayLeaveACriticalSection) {
  Object section = newLock(console::criticalSectionClass);
  const std::string message =
      "The thread which Entered the CriticalSection must be the thread to Leave the "
      "CriticalSection";
  criticalsection_leave(section.get());
  expectMisuse(2, message);
  Object owner = makeThread([&] { criticalsection_enter(section.get()); });
  run(owner);
  criticalsection_leave(section.get());
  expectMisuse(2, message);
  EXPECT_FALSE(CriticalSection_TryEnter(section.get()));
}

TEST_F(LocksTest, MutexesOfOneNameExcludeEachOtherAndTheOwnerMayLockAgain) {
  LockFileName name;
  Object first = newMutex(name.name());
  Object second = newMutex(name.name());
  MutexLock(first.get());
  EXPECT_TRUE(MutexTryLock(first.get()));
  EXPECT_FALSE(MutexTryLock(second.get()));
  MutexUnlock(first.get());
  EXPECT_FALSE(MutexTryLock(second.get())) << "still locked once";
  MutexUnlock(first.get());
  EXPECT_TRUE(MutexTryLock(second.get()));
  EXPECT_FALSE(MutexTryLock(first.get()));
  MutexUnlock(second.get());
  throwIfPending();
}

// Whether a child process can take the mutex of that name.
bool anotherProcessTakes(const std::string& name) {
  const pid_t child = fork();
  if (child == 0) {
    Object mutex = newMutex(name);
    _exit(MutexTryLock(mutex.get()) ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

TEST_F(LocksTest, AMutexExcludesOtherProcesses) {
  LockFileName name;
  Object mutex = newMutex(name.name());
  MutexLock(mutex.get());
  EXPECT_FALSE(anotherProcessTakes(name.name()));
  MutexUnlock(mutex.get());
  throwIfPending();
  EXPECT_TRUE(anotherProcessTakes(name.name()));
}

TEST_F(LocksTest, AThreadWaitsInLineForTheOwnerInThisProcess) {
  LockFileName name;
  Object mutex = newMutex(name.name());
  MutexLock(mutex.get());
  bool locked = false;
  Object other = makeThread([&] {
    MutexLock(mutex.get());
    locked = true;
    MutexUnlock(mutex.get());
    throwIfPending();
  });
  run(other);
  EXPECT_EQ(stateOf(other), state(ThreadState::Waiting));
  MutexUnlock(mutex.get());
  throwIfPending();
  finish(other);
  EXPECT_TRUE(locked);
}

TEST_F(LocksTest, AThreadRetriesALockFileHeldElsewhereAfterASleep) {
  ManualClock clock;
  LockFileName name;
  Object elsewhere = newMutex(name.name());
  Object mutex = newMutex(name.name());
  MutexLock(elsewhere.get());
  bool locked = false;
  Object other = makeThread([&] {
    MutexLock(mutex.get());
    locked = true;
    MutexUnlock(mutex.get());
    throwIfPending();
  });
  run(other);
  EXPECT_EQ(stateOf(other), state(ThreadState::Sleeping));
  MutexUnlock(elsewhere.get());
  throwIfPending();
  YieldToNextThread();
  EXPECT_FALSE(locked) << "nothing in this process wakes it before its retry";
  clock.advanceTicks(ManualClock::ticksFor(1000));
  finish(other);
  EXPECT_TRUE(locked);
}

TEST_F(LocksTest, OnlyTheOwnerMayUnlockAMutex) {
  LockFileName name;
  Object mutex = newMutex(name.name());
  const std::string message =
      "The thread which Signaled the Mutex must be the thread to Release the Mutex";
  MutexUnlock(mutex.get());
  expectMisuse(3, message);
  Object owner = makeThread([&] { MutexLock(mutex.get()); });
  run(owner);
  MutexUnlock(mutex.get());
  expectMisuse(3, message);
}

TEST_F(LocksTest, AnUnnamedMutexLocksAUniqueFileThatGoesWithIt) {
  char folderTemplate[] = "/tmp/vantor-locks-XXXXXX";
  ASSERT_NE(mkdtemp(folderTemplate), nullptr);
  const char* savedFolder = std::getenv("TMPDIR");
  const std::string saved = savedFolder != nullptr ? savedFolder : "";
  setenv("TMPDIR", folderTemplate, 1);
  std::string path;
  {
    Object mutex = newMutex("");
    const console::LockFile* file = reinterpret_cast<console::MutexObject*>(mutex.get())->lockFile;
    ASSERT_NE(file, nullptr);
    path = file->path();
    EXPECT_EQ(path.rfind(std::string(folderTemplate) + "/", 0), 0u) << path;
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(MutexTryLock(mutex.get()));
    MutexUnlock(mutex.get());
  }
  struct stat info {};
  EXPECT_NE(stat(path.c_str(), &info), 0) << path << " is left behind";
  if (savedFolder != nullptr) setenv("TMPDIR", saved.c_str(), 1);
  else unsetenv("TMPDIR");
  rmdir(folderTemplate);
}

}  // namespace
}  // namespace rt::test
