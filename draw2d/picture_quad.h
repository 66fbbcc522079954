// Picture quads under the screen-space projection: a quad showing any part of
// the bound picture, drawn with only the pixels that can change, and a guard
// that samples a picture shown at full size from its level 0 alone.
#pragma once

#include <cstdint>

// While alive, the bound picture is sampled from its level 0 only, when a quad
// of w x h screen units (under EnterOrtho, in the current viewport) showing a
// uSpan x vSpan part of it shows it at no less than its own size, turned or
// not. Every pixel of such a quad already takes the magnification filter from
// level 0, so the frame is the same; only the software renderer's per-pixel
// mipmap work goes. Otherwise, or for a picture without pixels, it does nothing.
// The picture must stay bound; its minification filter comes back at the end.
class TFullSizeSampling {
 public:
  TFullSizeSampling(float uSpan, float vSpan, float w, float h);
  ~TFullSizeSampling();
  TFullSizeSampling(const TFullSizeSampling&) = delete;
  TFullSizeSampling& operator=(const TFullSizeSampling&) = delete;

 private:
  int32_t savedMinFilter_ = 0;  // 0: nothing was changed
};

// A picture quad under EnterOrtho: the corner at (x0, y0) shows picture
// coordinate (u0, v0), the one at (x1, y1) shows (u1, v1).
struct TPictureQuad {
  float x0, y0, x1, y1;
  float u0, v0, u1, v1;
};
// Draws the quad with the bound picture, corners counter-clockwise from
// (x0, y0), in one begin / end. When the state adds the picture onto the
// frame (blending onto the destination times one, the picture multiplied
// into the colour, nothing but colour written) and the picture's black parts
// are known, the pixels that can sample only black are left unfilled: they
// would stay as they are. The frame is the same, the fill smaller.
void EmitPictureQuad(const TPictureQuad& quad);
