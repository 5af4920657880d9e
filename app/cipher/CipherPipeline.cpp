#include "cipher/CipherPipeline.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <cstring>

namespace vantor::cipher {
namespace {

// Enough blocks that the helper always has one queued while the calling
// thread fills the next and its consumer takes a finished one.
constexpr std::size_t kBlocks = 4;

Kernel chosenKernel(const EngineSettings& settings) {
  return settings.kernel && kernelRuns(*settings.kernel) ? *settings.kernel : fastestKernel();
}

// The new thread inherits the signal mask in force while it is created.
std::thread startWithoutSignals(std::function<void()> body) {
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  std::thread thread(std::move(body));
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return thread;
}

}  // namespace

CipherPipeline::CipherPipeline(const Key& key, Direction direction, const EngineSettings& settings)
    : core_(key, direction, chosenKernel(settings)),
      helped_(settings.helperThread),
      blocks_(kBlocks) {
  const std::size_t blockBytes = std::max<std::size_t>(settings.blockBytes, 1);
  for (Block& block : blocks_) {
    block.in.resize(blockBytes);
    block.out.resize(blockBytes);
  }
}

CipherPipeline::~CipherPipeline() {
  if (!helper_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  helper_.join();
}

bool CipherPipeline::feed(std::span<const std::uint8_t> bytes, const Consumer& consume) {
  if (failed_) return false;
  std::size_t i = 0;
  // Only the stream's first bytes can be literal, before any block exists.
  for (; i < bytes.size() && !core_.settled(); ++i) {
    const std::uint8_t byte = core_.literalByte(bytes[i]);
    if (!consume({&byte, 1})) {
      failed_ = true;
      return false;
    }
  }
  while (i < bytes.size()) {
    Block* block = fillingBlock(consume);
    if (block == nullptr) return false;
    const std::size_t n = std::min(bytes.size() - i, block->in.size() - block->size);
    std::memcpy(block->in.data() + block->size, bytes.data() + i, n);
    block->size += n;
    i += n;
    if (block->size == block->in.size()) queue(*block);
  }
  return deliver(consume, kBlocks + 1);
}

bool CipherPipeline::flush(const Consumer& consume) {
  if (failed_) return false;
  if (filling_ != nullptr) queue(*filling_);
  return deliver(consume, 1);
}

// The block after those in flight, once there is one.
CipherPipeline::Block* CipherPipeline::fillingBlock(const Consumer& consume) {
  if (filling_ != nullptr) return filling_;
  if (!deliver(consume, kBlocks)) return nullptr;
  filling_ = &blocks_[(oldest_ + inFlight_) % kBlocks];
  filling_->state = State::Filling;
  filling_->size = 0;
  return filling_;
}

void CipherPipeline::queue(Block& block) {
  filling_ = nullptr;
  block.first = position_;
  position_ += block.size;
  if (!cursor_) cursor_ = std::make_unique<OffsetCursor>(core_.plan());
  if (!helped_) {
    core_.run(*cursor_, block.first, block.in.data(), block.out.data(), block.size);
    block.state = State::Done;
    ++inFlight_;
    return;
  }
  if (!helper_.joinable()) {
    helperCursor_ = std::make_unique<OffsetCursor>(core_.plan());
    helper_ = startWithoutSignals([this] { serve(); });
  }
  {
    std::lock_guard lock(mutex_);
    block.state = State::Queued;
    ++inFlight_;
  }
  changed_.notify_all();
}

CipherPipeline::Block* CipherPipeline::oldestQueued() {
  for (std::size_t k = 0; k < inFlight_; ++k) {
    Block& block = blocks_[(oldest_ + k) % kBlocks];
    if (block.state == State::Queued) return &block;
  }
  return nullptr;
}

bool CipherPipeline::deliver(const Consumer& consume, std::size_t inFlightLimit) {
  std::unique_lock lock(mutex_);
  while (inFlight_ > 0) {
    Block& oldest = blocks_[oldest_];
    if (oldest.state == State::Done) {
      lock.unlock();
      const bool taken = consume({oldest.out.data(), oldest.size});
      lock.lock();
      oldest.state = State::Free;
      oldest_ = (oldest_ + 1) % kBlocks;
      --inFlight_;
      if (!taken) {
        failed_ = true;
        return false;
      }
      continue;
    }
    if (inFlight_ < inFlightLimit) break;
    if (Block* queued = oldestQueued()) {
      queued->state = State::Working;
      lock.unlock();
      core_.run(*cursor_, queued->first, queued->in.data(), queued->out.data(), queued->size);
      lock.lock();
      queued->state = State::Done;
      continue;
    }
    changed_.wait(lock);
  }
  return true;
}

void CipherPipeline::serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    Block* queued = nullptr;
    changed_.wait(lock, [&] { return stopping_ || (queued = oldestQueued()) != nullptr; });
    if (stopping_) return;
    queued->state = State::Working;
    lock.unlock();
    core_.run(*helperCursor_, queued->first, queued->in.data(), queued->out.data(), queued->size);
    lock.lock();
    queued->state = State::Done;
    changed_.notify_all();
  }
}

}  // namespace vantor::cipher
