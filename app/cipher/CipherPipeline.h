// The substitution stream of one cryption, overlapped over threads. The
// calling thread fills a unit of up to a block of stream bytes (input is
// read straight into it), queues it, and hands finished units to the sink
// in stream order. Worker threads cipher the queued units in place, slice by
// slice; where fillers follow each cipher byte, one thread at a time draws
// the units' fillers, unit after unit, and the calling thread lays them in
// before it hands the unit on. At most kUnits units exist, so the memory held depends neither on the
// input nor on the number of threads.
//
// The calling thread takes slices itself whenever it would otherwise wait,
// so the stream never waits for a worker that gets no processor. Slices are
// claimed in stream order, so each thread's own offset cursor only ever
// moves forward.
//
// Only the calling thread calls the sink: the runtime behind it is
// single-threaded. The random source is called by one thread at a time, in
// stream order, with the pipeline's lock passed between calls. Workers block
// every signal, so the runtime's handlers only ever run on the calling
// thread.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "cipher/CipherCore.h"
#include "cipher/EngineSettings.h"
#include "cipher/Fillers.h"

namespace vantor::cipher {

class CipherPipeline {
 public:
  // fillers, when given, lays its fillers in after each cipher byte.
  CipherPipeline(const Key& key, Direction direction, const EngineSettings& settings,
                 ByteSink& sink, Fillers* fillers = nullptr);
  ~CipherPipeline();
  CipherPipeline(const CipherPipeline&) = delete;
  CipherPipeline& operator=(const CipherPipeline&) = delete;

  // Room for the next stream bytes, at least one byte; finished units go to
  // the sink meanwhile. Empty once the sink has refused output.
  std::span<std::uint8_t> space();
  // The first n bytes of space() hold the next bytes of the stream. False
  // once the sink has refused output.
  bool commit(std::size_t n);
  // Finishes every byte committed and hands all the output to the sink.
  bool finish();

 private:
  enum class State { Free, Filling, Queued, Done };

  struct Unit {
    std::unique_ptr<std::uint8_t[]> bytes;  // the stream bytes, ciphered in place
    std::size_t capacity = 0;               // the bytes this unit is to hold
    std::size_t size = 0;
    std::size_t literal = 0;  // leading bytes the literal tables have done
    std::uint64_t first = 0;  // the core's position of bytes[literal]
    std::size_t slices = 0;
    std::size_t claimed = 0;
    bool drawClaimed = false;
    std::size_t done = 0;  // slices ciphered, and the fillers once drawn
    FilledStretch stretch;  // with fillers
    State state = State::Free;
  };

  struct Claim {
    Unit* unit = nullptr;
    std::size_t slice = 0;
    bool draw = false;  // the unit's fillers rather than a slice
  };

  Unit* fillingUnit();
  void queue(Unit& unit);
  // Hands the finished units at the head to the sink; false once it refused.
  bool deliver();
  // Delivers, and works or waits, until at most `inFlight` units are in use.
  bool settleTo(std::size_t inFlight);
  Claim claimLocked();
  // Ciphers one slice or draws the fillers; the thread finishing a unit's
  // last task marks it done.
  void run(const Claim& claim, std::unique_ptr<OffsetCursor>& cursor);
  void cipherSlice(Unit& unit, std::size_t slice, std::unique_ptr<OffsetCursor>& cursor);
  void startWorkers();
  void work();

  CipherCore core_;
  ByteSink& sink_;
  Fillers* fillers_;
  const std::size_t threads_;
  const std::size_t blockBytes_;
  const std::size_t sliceBytes_;
  std::vector<Unit> units_;
  std::size_t oldest_ = 0;    // the next unit to deliver
  std::size_t inFlight_ = 0;  // filling, queued or done, from oldest_ on
  Unit* filling_ = nullptr;
  std::uint64_t position_ = 0;  // the core's position of the next unit
  bool failed_ = false;
  bool finishing_ = false;
  bool drawing_ = false;  // some thread draws fillers
  std::unique_ptr<OffsetCursor> cursor_;  // the calling thread's

  std::mutex mutex_;
  std::condition_variable workQueued_;
  std::condition_variable unitDone_;
  bool callerWaiting_ = false;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

// Copies bytes into the engine's space() and commits them, as often as it
// takes; false once the engine has refused them.
template <class Engine>
bool pushThrough(Engine& engine, std::span<const std::uint8_t> bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const std::span<std::uint8_t> room = engine.space();
    if (room.empty()) return false;
    const std::size_t n = std::min(room.size(), bytes.size() - done);
    std::memcpy(room.data(), bytes.data() + done, n);
    if (!engine.commit(n)) return false;
    done += n;
  }
  return true;
}

}  // namespace vantor::cipher
