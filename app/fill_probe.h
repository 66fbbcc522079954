// The fill probe of --benchmark: what one full-screen layer costs on this
// machine, so frame times can be read as a number of layers and compared
// across machines. Runs after the show, at the size of its frame, in a hidden
// window and GL context of its own, which it destroys again.
#pragma once

#include <optional>

#include "runtime/fill_rounds.h"

// Full-screen quads drawn per timed round, of each kind.
constexpr int kProbeLayersPerRound = 24;
// Timed rounds (after one untimed round that warms the renderer up).
constexpr int kProbeRounds = 7;

// What the probe measured; 0 ms means not measured (no window or no GL).
struct FillProbe {
  double msPerTexturedLayer = 0.0;    // textured quad added onto the frame (blend one, one)
  double msPerUntexturedLayer = 0.0;  // one-colour quad blended at alpha 0.5
  int rounds = 0;
  int layersPerRound = 0;
  int width = 0;   // the layers' size in pixels: the show's frame
  int height = 0;
};

// Draws kProbeRounds rounds of kProbeLayersPerRound layers of each kind, of
// `width` x `height` pixels (the frame the show will draw), each round
// between two glFinish, and keeps the median round's time per layer. Needs
// no window of the show's open (it opens and closes the video system
// itself); a probe that cannot open its window or context returns zero
// figures and says nothing.
FillProbe MeasureFillProbe(int width, int height);

// `ms` in layers of `msPerLayer` each; none when `ms` is not finite or
// `msPerLayer` is not a positive finite number, so a missing probe gives no
// figure rather than inf or NaN.
std::optional<double> InLayers(double ms, double msPerLayer);
