#include "cipher/CipherPipeline.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <functional>

namespace vantor::cipher {
namespace {

// Enough units that one is filled while one is written and another
// ciphered; each unit is a block of memory held.
constexpr std::size_t kUnits = 3;
// Each unit is ciphered in this many slices, so that every thread finds work
// even while a single unit is queued.
constexpr std::size_t kSlicesPerUnit = 16;
// More threads than slices that can be queued at once would find no work.
constexpr std::size_t kMostThreads = kUnits * kSlicesPerUnit;

Kernel chosenKernel(const EngineSettings& settings) {
  return settings.kernel && kernelRuns(*settings.kernel) ? *settings.kernel : fastestKernel();
}

std::size_t threadCount(const EngineSettings& settings) {
  const std::size_t wanted = settings.threads > 0 ? settings.threads : processorsAvailable();
  return std::min(wanted, kMostThreads);
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

CipherPipeline::CipherPipeline(const Key& key, Direction direction, const EngineSettings& settings,
                               ByteSink& sink, Fillers* fillers)
    : core_(key, direction, chosenKernel(settings)),
      sink_(sink),
      fillers_(fillers),
      threads_(threadCount(settings)),
      blockBytes_(std::max<std::size_t>(settings.blockBytes, 1)),
      sliceBytes_((blockBytes_ + kSlicesPerUnit - 1) / kSlicesPerUnit),
      units_(kUnits) {}

CipherPipeline::~CipherPipeline() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workQueued_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

std::span<std::uint8_t> CipherPipeline::space() {
  Unit* unit = fillingUnit();
  if (unit == nullptr) return {};
  return {unit->bytes.get() + unit->size, unit->capacity - unit->size};
}

bool CipherPipeline::commit(std::size_t n) {
  if (failed_ || filling_ == nullptr) return false;
  Unit& unit = *filling_;
  std::uint8_t* bytes = unit.bytes.get() + unit.size;
  // Only the stream's first bytes can be literal.
  std::size_t literal = 0;
  for (; literal < n && !core_.settled(); ++literal) {
    bytes[literal] = core_.literalByte(bytes[literal]);
  }
  unit.literal += literal;
  unit.size += n;
  if (unit.size == unit.capacity) queue(unit);
  return true;
}

bool CipherPipeline::finish() {
  if (failed_) return false;
  finishing_ = true;
  if (filling_ != nullptr && filling_->size > 0) {
    queue(*filling_);
  } else if (filling_ != nullptr) {
    // An empty unit is always the newest in flight.
    filling_->state = State::Free;
    filling_ = nullptr;
    std::lock_guard lock(mutex_);
    --inFlight_;
  }
  return settleTo(0);
}

// Units are taken in ring order after those in flight; their buffers are
// made when first needed, so a short input never touches the others.
CipherPipeline::Unit* CipherPipeline::fillingUnit() {
  if (failed_) return nullptr;
  if (filling_ != nullptr) return filling_;
  if (!settleTo(kUnits - 1)) return nullptr;
  Unit& unit = units_[(oldest_ + inFlight_) % kUnits];
  if (!unit.bytes) unit.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(blockBytes_);
  unit.capacity = fillers_ != nullptr ? fillers_->cipherBytesFilling(blockBytes_) : blockBytes_;
  unit.size = 0;
  unit.literal = 0;
  unit.state = State::Filling;
  {
    std::lock_guard lock(mutex_);
    ++inFlight_;
  }
  filling_ = &unit;
  return filling_;
}

void CipherPipeline::queue(Unit& unit) {
  filling_ = nullptr;
  unit.first = position_;
  position_ += unit.size - unit.literal;
  if (fillers_ != nullptr) fillers_->plan(unit.size, unit.stretch);
  unit.slices =
      std::max<std::size_t>(1, (unit.size - unit.literal + sliceBytes_ - 1) / sliceBytes_);
  unit.claimed = 0;
  unit.drawClaimed = fillers_ == nullptr;
  unit.done = 0;
  // A short input is done by the calling thread alone.
  if (workers_.empty() && threads_ > 1 && !finishing_) startWorkers();
  {
    std::lock_guard lock(mutex_);
    unit.state = State::Queued;
  }
  if (!workers_.empty()) workQueued_.notify_all();
}

bool CipherPipeline::deliver() {
  for (;;) {
    Unit& head = units_[oldest_];
    {
      std::lock_guard lock(mutex_);
      if (inFlight_ == 0 || head.state != State::Done) return true;
    }
    // The calling thread lays the fillers in, so that the next unit's draw,
    // which no other thread can share, starts as soon as this one's ends.
    if (fillers_ != nullptr) Fillers::layOut(head.bytes.get(), head.stretch);
    const std::span<const std::uint8_t> output =
        fillers_ != nullptr ? std::span<const std::uint8_t>(head.stretch.output)
                            : std::span<const std::uint8_t>(head.bytes.get(), head.size);
    if (!sink_.write(output)) {
      failed_ = true;
      return false;
    }
    std::lock_guard lock(mutex_);
    head.state = State::Free;
    oldest_ = (oldest_ + 1) % kUnits;
    --inFlight_;
  }
}

bool CipherPipeline::settleTo(std::size_t inFlight) {
  for (;;) {
    if (!deliver()) return false;
    std::unique_lock lock(mutex_);
    if (inFlight_ <= inFlight) return true;
    const Claim claim = claimLocked();
    if (claim.unit != nullptr) {
      lock.unlock();
      run(claim, cursor_);
      continue;
    }
    callerWaiting_ = true;
    unitDone_.wait(lock, [&] { return units_[oldest_].state == State::Done; });
    callerWaiting_ = false;
  }
}

// The fillers are drawn unit after unit: a unit's draw is claimed only once
// every earlier unit's draw is done.
CipherPipeline::Claim CipherPipeline::claimLocked() {
  if (!drawing_) {
    for (std::size_t k = 0; k < inFlight_; ++k) {
      Unit& unit = units_[(oldest_ + k) % kUnits];
      if (unit.state == State::Queued && !unit.drawClaimed) {
        unit.drawClaimed = true;
        drawing_ = true;
        return {&unit, 0, true};
      }
    }
  }
  for (std::size_t k = 0; k < inFlight_; ++k) {
    Unit& unit = units_[(oldest_ + k) % kUnits];
    if (unit.state == State::Queued && unit.claimed < unit.slices) {
      return {&unit, unit.claimed++};
    }
  }
  return {};
}

void CipherPipeline::run(const Claim& claim, std::unique_ptr<OffsetCursor>& cursor) {
  Unit& unit = *claim.unit;
  if (claim.draw) {
    fillers_->draw(unit.stretch);
    {
      std::lock_guard lock(mutex_);
      drawing_ = false;
    }
    // The next unit's draw may be waiting for this one.
    if (!workers_.empty()) workQueued_.notify_all();
  } else {
    cipherSlice(unit, claim.slice, cursor);
  }
  const std::size_t tasks = unit.slices + (fillers_ != nullptr ? 1 : 0);
  {
    std::lock_guard lock(mutex_);
    if (++unit.done < tasks) return;
  }
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    unit.state = State::Done;
    wake = callerWaiting_ && &unit == &units_[oldest_];
  }
  if (wake) unitDone_.notify_one();
}

void CipherPipeline::cipherSlice(Unit& unit, std::size_t slice,
                                 std::unique_ptr<OffsetCursor>& cursor) {
  const std::size_t begin = slice * sliceBytes_;
  const std::size_t n = std::min(sliceBytes_, unit.size - unit.literal - begin);
  if (n > 0) {
    // The plan exists once the core has settled, as it has for any byte
    // that is not literal.
    if (!cursor) cursor = std::make_unique<OffsetCursor>(core_.plan());
    std::uint8_t* bytes = unit.bytes.get() + unit.literal + begin;
    core_.run(*cursor, unit.first + begin, bytes, bytes, n);
  }
}

void CipherPipeline::startWorkers() {
  for (std::size_t i = 1; i < threads_; ++i)
    workers_.push_back(startWithoutSignals([this] { work(); }));
}

void CipherPipeline::work() {
  std::unique_ptr<OffsetCursor> cursor;
  std::unique_lock lock(mutex_);
  for (;;) {
    Claim claim;
    workQueued_.wait(lock, [&] { return stopping_ || (claim = claimLocked()).unit != nullptr; });
    if (stopping_) return;
    lock.unlock();
    run(claim, cursor);
    lock.lock();
  }
}

}  // namespace vantor::cipher
