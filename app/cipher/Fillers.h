// The filler bytes of encryption with expansion. The calling thread plans
// each stretch of output; the stretches' fillers are then drawn one stretch
// at a time in the order they were planned, by whichever thread gets to it,
// so the random source sees exactly the draws of the byte-at-a-time loop.
// Any thread may then lay the stretch's cipher bytes in between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cipher/Cipher.h"
#include "cipher/FillerCounts.h"

namespace vantor::cipher {

// A stretch of output: its cipher bytes, each followed by all its fillers.
struct FilledStretch {
  std::size_t cipherBytes = 0;
  FillerCounts counts;  // where the stretch's first cipher byte takes its count
  // The stretch's output once laid out; until then its fillers, in order,
  // from index cipherBytes on.
  std::vector<std::uint8_t> output;
};

class Fillers {
 public:
  Fillers(const Schedule& schedule, RandomSource& random);

  // The fewest next cipher bytes whose output reaches outputBytes.
  std::size_t cipherBytesFilling(std::size_t outputBytes) const;
  // Makes stretch the next cipherBytes cipher bytes' stretch, with room for
  // its fillers.
  void plan(std::size_t cipherBytes, FilledStretch& stretch);
  // Draws a planned stretch's fillers. Stretches are drawn in the order they
  // were planned, never two at once.
  void draw(FilledStretch& stretch);
  // Lays the stretch's cipher bytes in before their fillers.
  static void layOut(const std::uint8_t* cipher, FilledStretch& stretch);

 private:
  FillerCounts counts_;
  RandomSource& random_;
  std::vector<std::uint32_t> draws_;
};

}  // namespace vantor::cipher
