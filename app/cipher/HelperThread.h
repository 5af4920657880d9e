// A second thread that runs one job at a time for its owner. The owner hands
// a job over with start() and, once it has done its own share, calls
// takeBack(): a job the helper has not begun is withdrawn at once (when the
// other core is busy the owner never waits for the helper to wake), one it
// has begun is waited for. The thread blocks every signal, so the runtime's
// handlers only ever run on the main thread, and it never calls into the
// runtime.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vantor::cipher {

class HelperThread {
 public:
  HelperThread();
  ~HelperThread();
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;

  void start(std::function<void()> job);
  void takeBack();

 private:
  enum class State { Idle, Handed, Running };

  void serve();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;
  State state_ = State::Idle;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace vantor::cipher
