// The cooperative thread scheduler: the records of the running threads, the
// ready array, the baton and the switch. Every member is used by the thread
// that holds the baton only, so none of this state needs a lock of its own.
//
// Invariants:
//  - Exactly one operating-system thread holds the baton; it is current().
//  - Every live record has priority-many ready entries; a record that has
//    ended has none and waits in the ended list until the next switch frees it.
//  - The main thread's record is never freed and has no Thread object.
#pragma once

#include <cstdint>
#include <vector>

#include "console/Baton.h"
#include "console/ReadyArray.h"
#include "console/ThreadRecord.h"

namespace rt::console {

class ThreadScheduler {
 public:
  // The process's scheduler, made at start-up on the main thread, which then
  // holds the baton.
  static ThreadScheduler& instance();

  ThreadRecord* current() const { return baton_.holder(); }
  bool onMainThread() const { return current() == &main_; }
  ThreadRecord& mainThread() { return main_; }
  const ReadyArray& ready() const { return ready_; }

  // Chooses the next thread, hands it the baton and returns when this thread
  // is chosen again; a thread killed meanwhile gets ThreadEndException.
  void switchThreads();

  // A record for a Thread object (which it keeps a reference to), linked and
  // given its ready entries; its operating-system thread is not started yet.
  ThreadRecord* addThread(RTObject* thread, std::int32_t priority);
  // Takes back a record whose operating-system thread could not start.
  void discardThread(ThreadRecord* record);
  // First step on a new thread's own operating-system thread: wait for the baton.
  void enterThread(ThreadRecord* record);
  // Last step of a thread, after its Thread object has been let go: unlink
  // and mark the record, hand the baton on and give it up.
  void exitThread(ThreadRecord* record);

  void sleep(ThreadRecord* record, std::int32_t milliseconds, bool wakeEarly);
  void suspend(ThreadRecord* record);
  void resume(ThreadRecord* record);
  void setPriority(ThreadRecord* record, std::int32_t priority);

  // The Thread objects of the running threads other than the current one,
  // each with a new reference.
  std::vector<RTObject*> otherThreadObjects() const;

 private:
  ThreadScheduler();

  ThreadRecord* chooseNext();
  void resumed(ThreadRecord* self);
  void freeEndedThreads(ThreadRecord* self);
  void unlink(ThreadRecord* record);

  Baton baton_;
  ReadyArray ready_;
  ThreadRecord main_;
  ThreadRecord* threads_ = &main_;
  std::vector<ThreadRecord*> ended_;
  bool reportedAllWaiting_ = false;
};

}  // namespace rt::console
