// The cipher engine: a cascade of 20 rotating substitution tables with
// optional random filler bytes. It works on byte buffers only and calls no
// runtime function: the application loads the key, feeds the engine in
// blocks and gives it a source of random values and a sink for its output.
// The engine calls the source and the sink only on the thread that feeds it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vantor::cipher {

inline constexpr int kTableCount = 20;
inline constexpr int kSeedCount = 10;
inline constexpr int kScheduleLength = 20000;

// One loaded key, exactly as the key files give it. Index 0 is table 1.
// A table holds the bytes of the table string built from its component-1
// line: 256 bytes for every line createsys writes, other lengths for damaged
// lines. The settings are the parsed field values, whatever they are.
struct Key {
  std::array<std::string, kTableCount> tables;
  std::array<std::int32_t, kTableCount> direction{};
  std::array<std::int32_t, kTableCount> periodA{};
  std::array<std::int32_t, kTableCount> periodB{};
  std::array<std::int32_t, kTableCount> step{};
};

// The filler counts E(1) to E(20000) (counts[0] is unused) and whether
// expansion is on (the seeds do not add up to 0).
struct Schedule {
  std::array<std::int32_t, kScheduleLength + 1> counts{};
  bool on = false;
};

// Builds the schedule from the ten expansion seeds.
Schedule buildSchedule(std::span<const std::int32_t, kSeedCount> seeds);

// Where filler values come from: fills out with the 20-bit values of the
// next draws, in draw order (each draw's double is value / 2^20). The engine
// may call it from any of its threads, but never from two at once, and
// always in stream order.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void draw(std::span<std::uint32_t> out) = 0;
};

// Where output goes, in order. Returns false when the bytes could not be
// written; the engine then stops and reports the failure.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool write(std::span<const std::uint8_t> bytes) = 0;
};

// Encrypts a stream of plaintext handed over in blocks of any size. The
// output is byte for byte what the byte-at-a-time algorithm writes for the
// same key, schedule and random draws, however the input is split.
class Encryptor {
 public:
  Encryptor(const Key& key, const Schedule& schedule, RandomSource& random, ByteSink& sink);
  ~Encryptor();
  Encryptor(const Encryptor&) = delete;
  Encryptor& operator=(const Encryptor&) = delete;

  // Room inside the engine for the next plaintext bytes (at least one), so
  // that input can be read straight into it; output finished meanwhile goes
  // to the sink. Empty once the sink has refused output.
  std::span<std::uint8_t> space();
  // The first n bytes of space() hold the next plaintext bytes; false once
  // the sink has refused output.
  [[nodiscard]] bool commit(std::size_t n);
  // Encrypts a copy of the next bytes; false once the sink has refused output.
  [[nodiscard]] bool push(std::span<const std::uint8_t> plaintext);
  // Hands every byte still held to the sink; false when the sink refused.
  [[nodiscard]] bool finish();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Decrypts a stream of cipher bytes pushed in blocks of any size, skipping
// the filler bytes the schedule says follow each cipher byte.
class Decryptor {
 public:
  Decryptor(const Key& key, const Schedule& schedule, ByteSink& sink);
  ~Decryptor();
  Decryptor(const Decryptor&) = delete;
  Decryptor& operator=(const Decryptor&) = delete;

  // As for the Encryptor.
  std::span<std::uint8_t> space();
  [[nodiscard]] bool commit(std::size_t n);
  [[nodiscard]] bool push(std::span<const std::uint8_t> ciphertext);
  [[nodiscard]] bool finish();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vantor::cipher
