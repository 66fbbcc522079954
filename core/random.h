// The program-wide random generator: seed := seed * 134775813 + 1 mod 2^32,
// each number seed / 2^32 in [0, 1). The show's sequence starts from seed 0
// and is never reseeded, so every run draws the same numbers as long as the
// load steps run in the driver's order.
#pragma once

#include <cstdint>

// One sequence of the generator, continued from `Seed`.
struct TRandomSequence {
  uint32_t Seed = 0;
  // Advances the seed and returns the new seed / 2^32.
  double Next();
};

// The next number of the show's sequence.
double Random();
// A copy of the show's sequence as it stands: its Next() gives the number
// Random() will return next, without drawing it.
TRandomSequence PeekRandom();
// Continues the show's sequence from `sequence`, as PeekRandom gave it: a
// looping show gives every pass the first pass's numbers.
void ResumeRandom(const TRandomSequence& sequence);
