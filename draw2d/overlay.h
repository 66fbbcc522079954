// Screen-space layers over the 3D picture: the switch between the perspective
// and a screen-space orthographic projection, full-screen quads (tinted,
// additive, plain, single colour), the overlay bracket and the screen clear.
//
// Screen space: x 0 (left) .. ActiveWindow.Width, y 0 (bottom) ..
// ActiveWindow.Height, z -1 .. 1; a picture's bottom row lies along y.
// Every routine expects the modelview matrix mode and leaves it selected.
#pragma once

#include <cstdint>

#include "geometry/VectorTypes.h"
#include "textures/color.h"

// Replaces the projection with the screen-space orthographic one.
void EnterOrtho();
// Replaces the projection with the show's 45-degree perspective (aspect 4/3,
// near 1, far FarPlane).
void LeaveOrtho();
// Pushes the modelview, resets the draw state and moves one unit into the screen.
void BeginOverlay();
// Pops the modelview of BeginOverlay.
void EndOverlay();
// Clears colour and depth and loads an identity modelview.
void ClearScreen();

// Each quad routine sets up its own state, draws under EnterOrtho and tears
// down; afterwards lighting and depth test are on, blending is off and the
// perspective of LeaveOrtho is in place. A quad whose opacity (colour alpha)
// is 0 or less sets and leaves the same state but fills nothing, since it
// would leave every pixel as it was.

// Picture alpha-blended over the frame, tinted by `color`. Leaves texturing on,
// the texture bound, the tint as current colour and fog off.
void DrawTexturedQuad(int32_t texture, const TColorRGBA& color, float x, float y, float w, float h);
// Picture added onto the frame (source alpha, one). Leaves texturing on, the
// texture bound and the tint as current colour.
void DrawAdditiveQuad(int32_t texture, const TColorRGBA& color, float x, float y, float w, float h);
// Picture alpha-blended in plain white with colour material on. Leaves
// texturing and colour material on, the texture bound, white.
void DrawTextureQuad(int32_t texture, float x, float y, float w, float h);
// One colour alpha-blended over the frame; every attribute is restored
// afterwards, only the projection stays as LeaveOrtho sets it.
void DrawColorQuad(const TColorRGBA& color, float x, float y, float w, float h);

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

// BeginOverlay, DrawColorQuad over the whole 800 x 600 screen, EndOverlay: the
// fades to and from black or white.
void DrawScreenFade(float r, float g, float b, float a);

// --- Billboards (in the current 3D space, not screen space) ----------------

// The camera's up and right directions in the current object space, read
// from the modelview matrix.
void GetBillboardAxes(TVertex& up, TVertex& right);
// One camera-facing textured quad around `centre`, reaching `size` along each
// axis. Sets no state: texture, colour and blending are the caller's.
void DrawBillboard(const TVertex& centre, float size);
// DrawBillboard around every centre in order, the same quads and pixels, in
// one batch: the show's glow fields hold thousands of them.
void DrawBillboards(const TVertexArray& centres, float size);
