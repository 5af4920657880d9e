// A second thread that runs one job at a time for its owner: start() hands a
// job over, wait() returns once it is done. The thread blocks every signal,
// so the runtime's handlers only ever run on the main thread, and it never
// calls into the runtime.
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
  void wait();

 private:
  void serve();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace vantor::cipher
