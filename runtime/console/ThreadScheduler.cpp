#include "console/ThreadScheduler.h"

#include <algorithm>

#include "console/SchedulerClock.h"
#include "host/FailureReport.h"
#include "objects/ExceptionClasses.h"

namespace rt::console {
namespace {

constexpr const char* kSourceFile = "../Common/ClassLib/RuntimeThread";

}  // namespace

ThreadScheduler& ThreadScheduler::instance() {
  // Never destroyed: at exit, threads may still wait on their records.
  static ThreadScheduler& scheduler = *new ThreadScheduler;
  return scheduler;
}

ThreadScheduler::ThreadScheduler() {
  ready_.add(&main_, main_.priority);
  baton_.takeFirst(&main_);
}

void ThreadScheduler::switchThreads() {
  ThreadRecord* self = current();
  baton_.pass(self, chooseNext());
  resumed(self);
}

ThreadRecord* ThreadScheduler::chooseNext() {
  for (;;) {
    const Choice choice = ready_.choose(schedulerMilliseconds());
    switch (choice.kind) {
      case Choice::Kind::Chosen:
        return choice.record;
      case Choice::Kind::Wait:
        pauseMilliseconds(choice.waitMilliseconds);
        break;
      case Choice::Kind::AllWaiting:
        // Nothing can ever run again: the baton goes to nobody.
        if (!reportedAllWaiting_) {
          reportedAllWaiting_ = true;
          reportAssertion(kSourceFile, __LINE__, "false",
                          "Infinite loop detected in the thread scheduler.  This is likely caused "
                          "by incorrectly locking resources with semaphores or critical sections.");
        }
        return nullptr;
    }
  }
}

void ThreadScheduler::resumed(ThreadRecord* self) {
  if (self->killed) exceptions::raise(exceptions::threadEndException);
  freeEndedThreads(self);
}

void ThreadScheduler::freeEndedThreads(ThreadRecord* self) {
  for (ThreadRecord* record : ended_) {
    if (record == self) {
      reportAssertion(kSourceFile, __LINE__, "sDeadThreadList != sCurrentThread");
      continue;
    }
    delete record;
  }
  ended_.clear();
}

ThreadRecord* ThreadScheduler::addThread(RTObject* thread, std::int32_t priority) {
  auto* record = new ThreadRecord;
  RuntimeLockObject(thread);
  record->thread = thread;
  record->priority = priority;
  record->next = threads_;
  threads_ = record;
  ready_.add(record, priority);
  return record;
}

void ThreadScheduler::discardThread(ThreadRecord* record) {
  ready_.removeAll(record);
  unlink(record);
  RuntimeUnlockObject(record->thread);
  delete record;
}

void ThreadScheduler::enterThread(ThreadRecord* record) {
  baton_.awaitFirstTurn(record);
  freeEndedThreads(record);
}

void ThreadScheduler::exitThread(ThreadRecord* record) {
  ready_.removeAll(record);
  unlink(record);
  record->state |= kStateFinished;
  ended_.push_back(record);
  // The record belongs to the ended list now: whoever runs next frees it.
  baton_.leave(chooseNext());
}

void ThreadScheduler::unlink(ThreadRecord* record) {
  for (ThreadRecord** link = &threads_; *link != nullptr; link = &(*link)->next) {
    if (*link == record) {
      *link = record->next;
      return;
    }
  }
}

void ThreadScheduler::sleep(ThreadRecord* record, std::int32_t milliseconds, bool wakeEarly) {
  const std::uint32_t now = schedulerMilliseconds();
  record->sleepStart = now;
  record->wakeTime = now + static_cast<std::uint32_t>(std::max(milliseconds, 0));
  record->state |= kStateSleeping;
  record->wakeEarly = wakeEarly;
  if (record == current()) switchThreads();
}

void ThreadScheduler::suspend(ThreadRecord* record) {
  ++record->suspendCount;
  record->state |= kStateSuspended;
  if (record == current()) switchThreads();
}

void ThreadScheduler::resume(ThreadRecord* record) {
  record->suspendCount = std::max(record->suspendCount - 1, 0);
  record->state &= ~(kStateSuspended | kStateSleeping);
  record->wakeTime = record->sleepStart = schedulerMilliseconds() - 1;
}

void ThreadScheduler::setPriority(ThreadRecord* record, std::int32_t priority) {
  if (priority > record->priority) ready_.add(record, priority - record->priority);
  if (priority < record->priority) ready_.remove(record, record->priority - priority);
  record->priority = priority;
}

std::vector<RTObject*> ThreadScheduler::otherThreadObjects() const {
  std::vector<RTObject*> objects;
  for (ThreadRecord* record = threads_; record != nullptr; record = record->next) {
    if (record == current() || record->thread == nullptr) continue;
    RuntimeLockObject(record->thread);
    objects.push_back(record->thread);
  }
  return objects;
}

// The main thread takes the baton before any other code of the process runs.
const bool kMainThreadHoldsTheBaton = (ThreadScheduler::instance(), true);

}  // namespace rt::console
