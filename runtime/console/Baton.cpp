#include "console/Baton.h"

namespace rt::console {

void Baton::takeFirst(ThreadRecord* first) {
  mutex_.lock();
  holder_ = first;
}

void Baton::awaitFirstTurn(ThreadRecord* self) {
  std::unique_lock lock(mutex_);
  self->turn.wait(lock, [&] { return holder_ == self; });
  // The baton stays taken while this thread runs.
  lock.release();
}

void Baton::pass(ThreadRecord* self, ThreadRecord* next) {
  if (next == self) return;
  handTo(next);
  std::unique_lock lock(mutex_, std::adopt_lock);
  self->turn.wait(lock, [&] { return holder_ == self; });
  lock.release();
}

void Baton::leave(ThreadRecord* next) {
  handTo(next);
  mutex_.unlock();
}

void Baton::handTo(ThreadRecord* next) {
  holder_ = next;
  if (next != nullptr) next->turn.notify_one();
}

}  // namespace rt::console
