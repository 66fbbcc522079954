// The state helpers every drawing routine starts from: texturing, colour,
// blending and texture-coordinate generation set to a known state.
#pragma once

#include <cstdint>

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
// so a line keeps its thickness on the screen at any scale.
void UseLineWidth(float width);
// Carries the current GL line width, set for a frame of `fromScale`, over to
// ActiveFrame's scale: for when the frame changes under a width set before.
void RescaleLineWidth(double fromScale);
