// The substitution stream run ahead of its consumer. Bytes are copied into a
// ring of blocks; a full block is queued, and the helper thread takes queued
// blocks oldest first while the calling thread goes back to its input and
// output. The calling thread hands finished blocks to its consumer in
// stream order, and when every block is in use it takes queued blocks
// itself, so the stream never waits for a helper that gets no processor.
// Each thread reads offsets through its own cursor and only ever moves it
// forward, since blocks are taken in stream order.
//
// Only the calling thread runs the consumer: it is where the runtime is
// called. The helper thread blocks every signal, so the runtime's handlers
// only ever run on the main thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "cipher/CipherCore.h"
#include "cipher/EngineSettings.h"

namespace vantor::cipher {

class CipherPipeline {
 public:
  // Takes a stretch of finished output; false stops the stream.
  using Consumer = std::function<bool(std::span<const std::uint8_t>)>;

  CipherPipeline(const Key& key, Direction direction, const EngineSettings& settings);
  ~CipherPipeline();
  CipherPipeline(const CipherPipeline&) = delete;
  CipherPipeline& operator=(const CipherPipeline&) = delete;

  // Takes the next bytes of the stream and hands whatever output is finished
  // to consume. False once a consumer has refused output.
  bool feed(std::span<const std::uint8_t> bytes, const Consumer& consume);
  // Finishes every byte taken and hands all the output to consume.
  bool flush(const Consumer& consume);

 private:
  enum class State { Free, Filling, Queued, Working, Done };

  struct Block {
    std::vector<std::uint8_t> in;
    std::vector<std::uint8_t> out;
    std::size_t size = 0;
    std::uint64_t first = 0;  // stream position of in[0]
    State state = State::Free;
  };

  Block* fillingBlock(const Consumer& consume);
  void queue(Block& block);
  // Hands finished blocks to consume in order. Waits, or works on queued
  // blocks, until fewer than `inFlightLimit` blocks remain in flight.
  bool deliver(const Consumer& consume, std::size_t inFlightLimit);
  Block* oldestQueued();
  void serve();

  CipherCore core_;
  const bool helped_;
  std::vector<Block> blocks_;
  std::size_t oldest_ = 0;    // the next block to deliver
  std::size_t inFlight_ = 0;  // queued, working or done, from oldest_ on
  Block* filling_ = nullptr;
  std::uint64_t position_ = 0;  // stream position of the next queued byte
  bool failed_ = false;
  std::unique_ptr<OffsetCursor> cursor_;
  std::unique_ptr<OffsetCursor> helperCursor_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  std::thread helper_;
};

}  // namespace vantor::cipher
