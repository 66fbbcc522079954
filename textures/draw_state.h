// The state helpers every drawing routine starts from: texturing, colour,
// blending and texture-coordinate generation set to a known state.
#pragma once

#include <cstdint>
#include <functional>

#include "textures/color.h"

// Untextured opaque white, no texgen, no blending.
void ResetDrawState();
// ResetDrawState, then 2D texturing on with `texture` bound, white.
void UseTexture(int32_t texture);
// ResetDrawState, then `color`.
void UseColor(const TColorRGBA& color);
// Sphere-map texture-coordinate generation for S and T on / off.
void EnableTexGen();
void DisableTexGen();
// The GL's default material for front and back faces.
void SetDefaultMaterial();

// Line widths are given for the designed frame; the GL gets them for the
// frame's scale (ScaledLineWidth of core/frame_scale.h at ActiveFrame.Scale),
// so a line keeps its thickness on the screen at any scale, held to the GL's
// range of widths (aliased, or smooth while GL_LINE_SMOOTH is on). What the
// range cannot give, DrawLines draws.
void UseLineWidth(float width);
// The width the last UseLineWidth was given (1, the GL's first, before any).
float LineWidthInUse();
// UseLineWidth(LineWidthInUse()) once more: for when the frame's scale or
// the GL's range has changed under it.
void RefitLineWidth();
// Draws the lines `draw` emits (GL_LINES, line polygon mode) at the width in
// use. Where the GL's range ends below it, as several lines of a width the
// GL has, side by side across the line, up and to the right, which together
// are as wide; each pixel is drawn once however many of them cover it (the
// stencil's top bit, which the show does not use, marks them and is cleared
// again), so blended lines blend as one; the stencil test must be off, as
// it is wherever the show draws lines. Every GL state comes back as it was.
void DrawLines(const std::function<void()>& draw);
// Holds the GL's range of line widths to at most `largest` pixels, as a GL
// with a narrower range would; 0 lifts it. Takes effect at the next UseLineWidth.
void LimitLineWidth(float largest);
