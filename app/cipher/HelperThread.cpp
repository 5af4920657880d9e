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
    state_ = State::Handed;
  }
  changed_.notify_all();
}

void HelperThread::takeBack() {
  std::unique_lock lock(mutex_);
  if (state_ == State::Handed) state_ = State::Idle;
  changed_.wait(lock, [this] { return state_ == State::Idle; });
}

void HelperThread::serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return state_ == State::Handed || stopping_; });
    if (stopping_) return;
    state_ = State::Running;
    lock.unlock();
    job_();
    lock.lock();
    state_ = State::Idle;
    changed_.notify_all();
  }
}

}  // namespace vantor::cipher
