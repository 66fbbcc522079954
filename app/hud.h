// --hud: the show time, the section, the beat index and the frame rate in the
// top-left corner, drawn with the bitmap font over each frame of the show.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "runtime/ORV2Base.h"

// Frames per second over the last second of wall-clock time.
class FrameRateMeter {
 public:
  // Records a frame finished at `seconds` (wall clock, never decreasing) and
  // returns the rate over the frames of the second before it; 0 until two
  // frames lie in that second.
  double AddFrame(double seconds);

 private:
  std::deque<double> stamps_;
};

// The HUD's text, one string per line: time (s) and section, beat and rate,
// and the frame's size at `scale`.
std::vector<std::string> HudLines(const DemoFrame& frame, int32_t beatIndex, double framesPerSecond,
                                  double scale);

// Draws `lines` from the top-left corner of the screen in white on a black
// panel, using the glyph table `fontBase`, whose glyphs must be built for the
// frame's scale. Every GL attribute, both matrices and the matrix mode are as
// before afterwards, and so is FontBase.
void DrawHudLines(const std::vector<std::string>& lines, int32_t fontBase);

// The frame observer of --hud: draws over every timeline frame. Builds its own
// glyph table (the show's face, its height scaled with the frame) on the
// first frame it sees, and again when the frame's scale changes. Never ends
// the run.
class ShowHud {
 public:
  bool OnFrame(const DemoFrame& frame);

 private:
  FrameRateMeter meter_;
  int32_t fontBase_ = 0;
  double fontScale_ = 0.0;  // the frame scale fontBase_ was built for
};
