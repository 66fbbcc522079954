// The program-wide random generator and the show's one sequence of it.

#include "core/random.h"

namespace {
TRandomSequence showSequence;
}

double TRandomSequence::Next() {
  Seed = Seed * 134775813u + 1u;  // wraps modulo 2^32
  return Seed / 4294967296.0;
}

double Random() { return showSequence.Next(); }

TRandomSequence PeekRandom() { return showSequence; }

void ResumeRandom(const TRandomSequence& sequence) { showSequence = sequence; }
