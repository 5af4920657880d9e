#include "cipher/HelperThread.h"

#include <pthread.h>
#include <signal.h>

namespace vantor::cipher {

// The new thread inherits the signal mask in force while it is created.
HelperThread::HelperThread() {
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  thread_ = std::thread([this] { serve(); });
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

HelperThread::~HelperThread() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void HelperThread::start(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    job_ = std::move(job);
    busy_ = true;
  }
  changed_.notify_all();
}

void HelperThread::wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
}

void HelperThread::serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stopping_; });
    if (stopping_) return;
    lock.unlock();
    job_();
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace vantor::cipher
