#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "console/ThreadScheduler.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringStorage.h"

namespace {

using namespace rt::console;

// How long a thread sleeps before it tries again for a lock file that is held
// outside this process: nothing in this process would wake it.
constexpr std::int32_t kLockFileRetryMilliseconds = 50;

// The fields of a Mutex; null after raising for nil.
MutexObject* fields(RTObject* mutex) {
  if (mutex == nullptr) RaiseNilObjectException();
  return reinterpret_cast<MutexObject*>(mutex);
}

bool ownedByAnother(const MutexObject* mutex, const ThreadRecord* self) {
  return mutex->count > 0 && mutex->owner != self;
}

// One attempt. The owner already holds the lock file; anyone else in this
// process must find the mutex unowned here and the file free elsewhere.
bool tryTake(MutexObject* mutex, ThreadRecord* self) {
  if (ownedByAnother(mutex, self)) return false;
  if (mutex->count == 0 && mutex->lockFile != nullptr && !mutex->lockFile->tryLock()) return false;
  mutex->owner = self;
  ++mutex->count;
  return true;
}

}  // namespace

extern "C" {

void MutexContructor(RTObject* mutex, RTString name) {
  MutexObject* m = fields(mutex);
  if (m == nullptr) return;
  RTString utf8 = rt::text::convertEncoding(name, kEncodingUTF8);
  // Without its file the mutex still excludes the threads of this process.
  LockFile* opened = LockFile::open(rt::text::bytes(utf8)).release();
  RuntimeUnlockString(utf8);
  delete m->lockFile;
  m->lockFile = opened;
}

void MutexLock(RTObject* mutex) {
  MutexObject* m = fields(mutex);
  if (m == nullptr) return;
  ThreadScheduler& scheduler = ThreadScheduler::instance();
  ThreadRecord* self = scheduler.current();
  while (!tryTake(m, self)) {
    if (ownedByAnother(m, self)) {
      if (!waitQueue(m->waiting).wait()) return;
    } else {
      scheduler.sleep(self, kLockFileRetryMilliseconds, false);
      if (self->killed) return;
    }
  }
}

uint8_t MutexTryLock(RTObject* mutex) {
  MutexObject* m = fields(mutex);
  return m != nullptr && tryTake(m, ThreadScheduler::instance().current());
}

void MutexUnlock(RTObject* mutex) {
  MutexObject* m = fields(mutex);
  if (m == nullptr) return;
  ThreadScheduler& scheduler = ThreadScheduler::instance();
  if (m->count <= 0 || m->owner != scheduler.current()) {
    raiseWithMessage(rt::exceptions::runtimeException, 3,
                     "The thread which Signaled the Mutex must be the thread to Release the Mutex");
    return;
  }
  if (--m->count > 0) return;
  m->owner = nullptr;
  if (m->lockFile != nullptr) m->lockFile->unlock();
  if (waitQueue(m->waiting).releaseFirst()) scheduler.switchThreads();
}

}  // extern "C"
