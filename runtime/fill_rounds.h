// What filling the frame costs on this machine: rounds of full-screen layers
// timed between two glFinish in the current context, into whatever frame
// buffer is bound. The benchmark's fill probe and the `auto` scale both
// measure with it.
#pragma once

#include <vector>

// The two kinds of layer, and what a round draws.
struct FillRoundPlan {
  int width = 0;             // the viewport the layers fill, in pixels
  int height = 0;
  int rounds = 0;            // timed rounds of each kind at most
  int layersPerRound = 0;
  double budgetMs = 0.0;     // no round starts once this much time has passed; 0: no limit
  bool untextured = false;   // also time the untextured kind
};

// Milliseconds of each timed round, per kind (empty when not timed).
struct FillRoundTimes {
  std::vector<double> texturedMs;    // a 256 x 256 picture added onto the frame (blend one, one)
  std::vector<double> untexturedMs;  // one colour blended at alpha 0.5
};

// One untimed round of each kind first (it builds the renderer's code for
// that state), then the timed rounds, alternating kinds. Every GL attribute,
// both matrices and the matrix mode come back as they were; the bound frame
// buffer's colour is left undefined. GL errors pending before are cleared;
// empty times after a GL error of its own.
FillRoundTimes TimeFillRounds(const FillRoundPlan& plan);

// The median time per layer of rounds that each drew `layersPerRound`
// layers in the given times (ms); 0 when there are no rounds or no layers.
double MedianMsPerLayer(std::vector<double> roundMs, int layersPerRound);
