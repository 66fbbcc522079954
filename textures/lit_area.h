// Where a picture can add light. A black texel (red, green and blue all 0)
// adds nothing when the picture is added onto the frame, whatever its alpha
// or tint, and neither does any filtered mixture of black texels. Many of the
// show's additive layers are mostly black, so the part of the screen that
// only ever samples black need not be filled at all.
//
// Pure logic: the analysis of a picture's pixels, the record of the analyses
// by texture name, and the screen boxes an axis-aligned quad showing a picture
// must still fill.
#pragma once

#include <cstdint>
#include <vector>

// A half-open box [x0, x1) x [y0, y1) of texels or pixels; empty when either
// side has no length.
struct TCellBox {
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
  bool operator==(const TCellBox&) const = default;
};

// The texels of a picture's level 0 that are not black lie inside `box` and
// outside `hole`, a black box within it (possibly empty). Coordinates are
// texel columns and rows in upload order (row 0 at picture coordinate v 0).
struct TLitArea {
  int32_t width = 0, height = 0;
  TCellBox box;
  TCellBox hole;
  bool operator==(const TLitArea&) const = default;
};

// The lit area of width x height pixels of bytesPerPixel (3 or 4) bytes each,
// red first, tightly packed: the bounding box of the non-black texels, and
// the largest black box inside it.
TLitArea MeasureLitArea(const uint8_t* pixels, int32_t width, int32_t height, int32_t bytesPerPixel);

// The lit areas of the textures whose level 0 is known to hold the measured
// pixels, by texture name. Whatever creates a texture records its area or
// forgets the name, and whatever writes into one forgets it, so a name the GL
// hands out again never inherits a stale area.
void RecordLitArea(uint32_t texture, const TLitArea& area);
void ForgetLitArea(uint32_t texture);
// Every record, for when the context that held the textures is gone.
void ForgetAllLitAreas();
// The recorded area, or null when the texture's contents are unknown.
const TLitArea* RecordedLitArea(uint32_t texture);

// An axis-aligned quad in window pixels showing part of a picture: the
// corner at (x0, y0) shows picture coordinate (u0, v0), the one at (x1, y1)
// shows (u1, v1), and the picture coordinates run linearly in between.
struct TQuadOnScreen {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  bool mipmapped = false;  // a minifying quad may sample the picture's coarser levels
  bool repeat = false;     // the picture wraps around (else it is clamped at its edges)
};

// Disjoint boxes of window pixels, within the screenWidth x screenHeight
// window, that hold every pixel of the quad whose filtered sample can include
// a texel of the lit area; at most four, none when the quad shows only black.
// Conservative: each pixel's filter footprint is widened by a texel at every
// mipmap level that may be sampled, so rounding in the renderer cannot reach
// past it.
std::vector<TCellBox> LitScreenBoxes(const TLitArea& area, const TQuadOnScreen& quad, int32_t screenWidth,
                                     int32_t screenHeight);
